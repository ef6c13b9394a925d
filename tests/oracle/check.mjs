// Independent check of an SWF file: reads it with the npm package swf-parser and prints
// its top-level tags as JSON, {"tags":[{"code":69},{"code":9},...]}, without the End tag.
// On failure prints {"error":"..."} and exits with 1. Given several files, prints a line for
// each, in order.
//
// swf-parser names tag kinds, not codes, and one kind can stand for several codes
// (DefineShape for 2, 22, 32 and 83). The code of each tag is read from its header at the
// position the parser started the tag, and must be one the parser's kind allows.
//
// ZWS files, which swf-parser cannot read, are expanded with the xz program first.

import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { ReadableStream } from '@open-flash/stream';
import pako from 'pako';
import { parseSwf } from 'swf-parser';
import { parseHeader, parseSwfSignature } from 'swf-parser/parsers/header';
import { parseTag } from 'swf-parser/parsers/tags';
import { CompressionMethod } from 'swf-types/compression-method';
import { TagType } from 'swf-types/tags/_type';

const CODES_OF_KIND = {
  ShowFrame: [1],
  DefineShape: [2, 22, 32, 83],
  PlaceObject: [4, 26, 70],
  RemoveObject: [5, 28],
  DefineBitmap: [6, 20, 21, 35, 36, 90],
  DefineButton: [7, 34],
  DefineJpegTables: [8],
  SetBackgroundColor: [9],
  DefineGlyphFont: [10],
  DefineText: [11, 33],
  DoAction: [12],
  DefineFontInfo: [13, 62],
  DefineSound: [14],
  StartSound: [15],
  DefineButtonSound: [17],
  SoundStreamHead: [18, 45],
  SoundStreamBlock: [19],
  DefineButtonColorTransform: [23],
  Protect: [24],
  EnablePostscript: [25],
  DefineDynamicText: [37],
  DefineSprite: [39],
  FrameLabel: [43],
  DefineMorphShape: [46, 84],
  DefineFont: [48, 75],
  ExportAssets: [56],
  ImportAssets: [57, 71],
  EnableDebugger: [58, 64],
  DoInitAction: [59],
  DefineVideoStream: [60],
  VideoFrame: [61],
  ScriptLimits: [65],
  SetTabIndex: [66],
  FileAttributes: [69],
  DoAbc: [72, 82],
  DefineFontAlignZones: [73],
  CsmTextSettings: [74],
  SymbolClass: [76],
  Metadata: [77],
  DefineScalingGrid: [78],
  DefineSceneAndFrameLabelData: [86],
  DefineBinaryData: [87],
  DefineFontName: [88],
  StartSound2: [89],
  DefineCffFont: [91],
  Telemetry: [93],
};
const KNOWN_CODES = new Set(Object.values(CODES_OF_KIND).flat());

class OracleError extends Error {}

function fail(message) {
  throw new OracleError(message);
}

function readUint32LE(bytes, offset) {
  return (bytes[offset] | (bytes[offset + 1] << 8) | (bytes[offset + 2] << 16)) + bytes[offset + 3] * 0x1000000;
}

// The movie after the 8-byte file header, uncompressed.
function payloadOf(file, signature) {
  switch (signature.compressionMethod) {
    case CompressionMethod.None:
      return file.subarray(8);
    case CompressionMethod.Deflate:
      return pako.inflate(file.subarray(8));
    case CompressionMethod.Lzma:
      return expandLzma(file, signature.uncompressedFileLength - 8);
    default:
      return fail('unknown compression method');
  }
}

// ZWS layout: 4 bytes compressed length, 5 LZMA property bytes, raw LZMA data. The .lzma
// format wants the properties, then the uncompressed size as 8 bytes, then the data.
function expandLzma(file, size) {
  if (file.length < 17) {
    fail('ZWS header is cut short');
  }
  const header = new Uint8Array(13);
  header.set(file.subarray(12, 17), 0);
  let rest = size;
  for (let i = 5; i < 13; i++) {
    header[i] = rest % 256;
    rest = Math.floor(rest / 256);
  }
  const input = Buffer.concat([header, file.subarray(17)]);
  const xz = spawnSync('xz', ['--format=lzma', '-dc'], { input, maxBuffer: 2 ** 32 });
  if (xz.error) {
    fail(`cannot run xz: ${xz.error.message}`);
  }
  if (xz.status !== 0) {
    fail(`xz rejects the LZMA body: ${xz.stderr.toString().trim()}`);
  }
  return new Uint8Array(xz.stdout);
}

// Header plus body as the tag header at start declares them.
function declaredTagSize(payload, start) {
  const shortLength = payload[start] & 0x3f;
  if (shortLength < 0x3f) {
    return 2 + shortLength;
  }
  return start + 6 <= payload.length ? 6 + readUint32LE(payload, start + 2) : Infinity;
}

function tagsOf(payload, swfVersion) {
  const stream = new ReadableStream(payload);
  parseHeader(stream, swfVersion);
  const tags = [];
  for (;;) {
    const start = stream.bytePos;
    const tag = parseTag(stream, swfVersion);
    if (tag === undefined) {
      return tags;
    }
    const code = (payload[start] | (payload[start + 1] << 8)) >>> 6;
    const kind = TagType[tag.type];
    const where = `tag ${tags.length + 1} (code ${code}) at offset ${start + 8}`;
    // The parser cuts a tag that runs past the end short instead of failing.
    if (tag.type === TagType.Raw || start + declaredTagSize(payload, start) > payload.length) {
      fail(`${where} runs past the end of the data`);
    }
    if (tag.type === TagType.RawBody) {
      if (tag.code !== code) {
        fail(`${where}: the parser read code ${tag.code}`);
      }
      if (KNOWN_CODES.has(code)) {
        fail(`${where}: the body does not parse`);
      }
    } else if (!(CODES_OF_KIND[kind] ?? []).includes(code)) {
      fail(`${where}: the parser read a ${kind} tag`);
    }
    tags.push({ code });
  }
}

function check(path) {
  const file = new Uint8Array(readFileSync(path));
  const signature = parseSwfSignature(new ReadableStream(file));
  const payload = payloadOf(file, signature);
  const tags = tagsOf(payload, signature.swfVersion);
  // The parser's own whole-file entry point must agree (ZWS given to it expanded as FWS).
  const whole = new Uint8Array(8 + payload.length);
  whole.set(file.subarray(0, 8), 0);
  whole[0] = signature.compressionMethod === CompressionMethod.Lzma ? 0x46 : file[0];
  whole.set(payload, 8);
  const movie = parseSwf(signature.compressionMethod === CompressionMethod.Lzma ? whole : file);
  if (movie.tags.length !== tags.length) {
    fail(`the parser's movie has ${movie.tags.length} tags, the tag walk ${tags.length}`);
  }
  return tags;
}

// Each file named on the command line gets one line: its tags, or its error.
const paths = process.argv.slice(2);
if (paths.length === 0) {
  console.log(JSON.stringify({ error: 'usage: node check.mjs file.swf...' }));
  process.exitCode = 1;
}
for (const path of paths) {
  try {
    console.log(JSON.stringify({ tags: check(path) }));
  } catch (e) {
    console.log(JSON.stringify({ error: e instanceof OracleError ? e.message : `${e.name}: ${e.message}` }));
    process.exitCode = 1;
  }
}
