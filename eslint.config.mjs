// The JavaScript checks of test.sh: ESLint's recommended rules and the project's layout (the
// stylistic rules below, in place of a formatter) over the web editor's page and the tests' and
// benchmark's Node.js scripts. Run from the repository's root: npx eslint (npm ci first).
import js from '@eslint/js';
import stylistic from '@stylistic/eslint-plugin';
import globals from 'globals';

const layout = {
  '@stylistic/indent': ['error', 2],
  '@stylistic/max-len': ['error', { code: 120 }],
  '@stylistic/quotes': ['error', 'single', { avoidEscape: true }],
  '@stylistic/semi': ['error', 'always'],
  '@stylistic/comma-dangle': ['error', 'always-multiline'],
  '@stylistic/comma-spacing': 'error',
  '@stylistic/key-spacing': 'error',
  '@stylistic/keyword-spacing': 'error',
  '@stylistic/space-infix-ops': 'error',
  '@stylistic/space-before-blocks': 'error',
  '@stylistic/space-before-function-paren': ['error', { named: 'never', anonymous: 'always', asyncArrow: 'always' }],
  '@stylistic/object-curly-spacing': ['error', 'always'],
  '@stylistic/array-bracket-spacing': ['error', 'never'],
  '@stylistic/arrow-parens': ['error', 'always'],
  '@stylistic/arrow-spacing': 'error',
  '@stylistic/brace-style': ['error', '1tbs', { allowSingleLine: true }],
  '@stylistic/no-multi-spaces': ['error', { ignoreEOLComments: true }],
  '@stylistic/no-trailing-spaces': 'error',
  '@stylistic/no-multiple-empty-lines': ['error', { max: 1 }],
  '@stylistic/eol-last': 'error',
  '@stylistic/spaced-comment': ['error', 'always'],
};

export default [
  { ignores: ['**/node_modules/', 'build*/'] },
  js.configs.recommended,
  { plugins: { '@stylistic': stylistic }, rules: layout },
  // The page: browser modules; only the views under view/ touch the document.
  { files: ['web/js/**/*.js'], languageOptions: { globals: globals.browser } },
  {
    files: ['web/js/*.js'],
    rules: {
      'no-restricted-globals': ['error',
        { name: 'document', message: 'The page is touched only by the views in web/js/view/.' },
        { name: 'window', message: 'The page is touched only by the views in web/js/view/.' }],
    },
  },
  // Node.js scripts; their page.evaluate callbacks run in the browser.
  { files: ['**/*.mjs'], languageOptions: { globals: { ...globals.node, ...globals.browser } } },
];
