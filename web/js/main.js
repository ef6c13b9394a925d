// The editor page: starts the views, loads the project and keeps up with the server's events.
import * as api from './api.js';
import { state, update, say } from './store.js';
import { reloadProject } from './project.js';
import * as edits from './edits.js';
import { onExportEvent } from './exports.js';
import { initStillness } from './stillness.js';
import { initPointer } from './pointer.js';
import { initHeader } from './view/header.js';
import { initViewer } from './view/viewer.js';
import { initTimeline } from './view/timeline.js';
import { initEditBar } from './view/editbar.js';
import { initTiming } from './view/timing.js';
import { initSlides } from './view/slides.js';
import { initExportDialog } from './view/exportdialog.js';
import { initHistory } from './view/history.js';
import { initRedaction } from './view/redaction.js';
import { initKeys } from './view/keys.js';
import { initGoTo } from './view/go-to.js';
import { initPointerPanel } from './view/pointer.js';

async function start() {
  initHeader();
  initViewer();
  initTimeline();
  initEditBar();
  initTiming();
  initStillness();
  initPointer();
  initPointerPanel();
  initSlides();
  initHistory();
  initRedaction();
  initExportDialog();
  initKeys();
  initGoTo();
  api.listen(edits.showProgress, ({ state: latest }) => {
    // Another page (or this one) changed the project: catch up unless this page is mid-change.
    if (!state.busy && latest !== state.project?.state) reloadProject();
  }, onExportEvent);
  try {
    await reloadProject();
    say('ready');
  } catch (error) {
    say(error.message, true);
  }
  update({ ready: true });
}

start();
