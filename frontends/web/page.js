// The page: starts the core, paints the picture, runs commands from the
// toolbar and the keys, shows the core's questions, and keeps the lesson in
// the link: index.html#<the lesson's JSON, URL-encoded>.
'use strict';

const page = {
  firstPictureMs: null,
  paints: 0,
  messages: [],  // every message box shown, for the record: {caption, text}
};

function lessonFromHash() {
  const hash = location.hash.replace(/^#/, '');
  return hash === '' ? null : hash;
}

function linkOf(lessonText) {
  return location.href.replace(/#.*$/, '') + '#' + encodeURIComponent(lessonText);
}

function download(name, type, data) {
  const url = URL.createObjectURL(data instanceof Blob ? data : new Blob([data], { type: type }));
  const a = document.createElement('a');
  a.href = url;
  a.download = name;
  document.body.appendChild(a);
  a.click();
  a.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

function drawSwatch(canvas, entry) {
  const ratio = window.devicePixelRatio || 1;
  canvas.width = Math.round(18 * ratio);
  canvas.height = Math.round(12 * ratio);
  const g = canvas.getContext('2d');
  g.scale(ratio, ratio);
  g.fillStyle = cssColor(entry.color);
  g.strokeStyle = cssColor(entry.outline);
  if (entry.swatch === 'line') {
    g.fillRect(1, 5, 16, 2);
  } else if (entry.swatch === 'dashed') {
    g.fillRect(1, 5, 6, 2);
    g.fillRect(11, 5, 6, 2);
  } else if (entry.swatch === 'dot') {
    g.beginPath();
    g.arc(9, 6, 4, 0, 2 * Math.PI);
    g.fill();
    g.stroke();
  } else if (entry.swatch === 'square') {
    g.fillRect(5, 2, 8, 8);
    g.strokeRect(5.5, 2.5, 7, 7);
  } else {
    g.strokeStyle = cssColor(entry.color);
    g.lineWidth = 2;
    g.beginPath();
    g.moveTo(5, 2);
    g.lineTo(13, 10);
    g.moveTo(13, 2);
    g.lineTo(5, 10);
    g.stroke();
  }
}

// Each entry's tip defines it; a click (or Enter) opens How it works at its section.
function showLegend(entries, tipOf, explain) {
  const legend = byId('legend');
  legend.textContent = '';
  entries.forEach((entry, i) => {
    const item = document.createElement('span');
    item.className = 'legend-entry';
    const swatch = document.createElement('canvas');
    drawSwatch(swatch, entry);
    const name = document.createElement('span');
    name.textContent = entry.name;
    item.append(swatch, name);
    const tip = tipOf(i);
    if (tip) {
      item.title = tip + '\nClick: How it works.';
      item.tabIndex = 0;
      item.setAttribute('role', 'button');
      item.addEventListener('click', () => explain(i));
      item.addEventListener('keydown', (e) => {
        if (e.key === 'Enter' || e.key === ' ') {
          e.preventDefault();
          explain(i);
        }
      });
    }
    legend.appendChild(item);
  });
}

function startPage(core) {
  const session = new core.Session();
  const picture = byId('picture');
  const stage = byId('stage');
  const fileInput = byId('lesson-file');
  const densityDialog = new DensityDialog(core);
  let timer = null;
  let size = { width: 0, height: 0, ratio: 1 };
  let paintQueued = false;
  let plotTip = '';

  // The pointer's tip over the envelope: it follows a mouse; a tap pins it
  // with a link to How it works, as a phone has no hover.
  const tip = byId('plot-tip');
  let pinned = false;  // by a tap: a mouse passing by leaves it
  function hideTip() {
    tip.hidden = true;
    pinned = false;
  }
  function pointAt(e) {
    const r = picture.getBoundingClientRect();
    return { x: Math.floor(e.clientX - r.left), y: Math.floor(e.clientY - r.top) };
  }
  function showTip(e, pin) {
    const at = pointAt(e);
    const text = session.toolTipAt(at.x, at.y);
    picture.title = text ? '' : plotTip;
    if (!text) {
      hideTip();
      return;
    }
    byId('plot-tip-text').textContent = text;
    const link = byId('plot-tip-link');
    link.hidden = !pin;
    pinned = pin;
    link.dataset.anchor = session.termAt(at.x, at.y);
    tip.hidden = false;
    const room = stage.getBoundingClientRect();
    const left = Math.min(at.x + 14, Math.max(0, room.width - tip.offsetWidth - 4));
    const top = at.y + 18 + tip.offsetHeight <= room.height ? at.y + 18 : Math.max(0, at.y - tip.offsetHeight - 8);
    tip.style.left = left + 'px';
    tip.style.top = top + 'px';
  }
  let lastPointer = 'mouse';
  picture.addEventListener('pointermove', (e) => {
    lastPointer = e.pointerType;
    if (e.pointerType === 'mouse' && !pinned) showTip(e, false);
  });
  picture.addEventListener('pointerleave', (e) => {
    if (e.pointerType === 'mouse' && !pinned) hideTip();
  });
  picture.addEventListener('pointerdown', (e) => {
    lastPointer = e.pointerType;
  });
  picture.addEventListener('click', (e) => {
    if (lastPointer !== 'mouse') {
      showTip(e, true);
      return;
    }
    const at = pointAt(e);
    const anchor = session.termAt(at.x, at.y);
    hideTip();
    if (!anchor) return;
    asking = null;
    handle(session.explain(anchor));
  });
  byId('plot-tip-link').addEventListener('click', (e) => {
    e.preventDefault();
    hideTip();
    asking = null;
    handle(session.explain(e.currentTarget.dataset.anchor));
  });

  function paintNow() {
    paintQueued = false;
    const g = picture.getContext('2d');
    g.setTransform(size.ratio, 0, 0, size.ratio, 0, 0);
    g.fillStyle = '#fff';
    g.fillRect(0, 0, size.width, size.height);
    const canvas = new HtmlCanvas(g, size.width, size.height, size.ratio);
    try {
      session.paint(canvas);
    } finally {
      canvas.finish();
    }
    page.paints += 1;
    if (page.firstPictureMs === null) {
      page.firstPictureMs = performance.now();
      byId('loading').hidden = true;
    }
  }

  function repaint() {
    if (paintQueued) return;
    paintQueued = true;
    requestAnimationFrame(paintNow);
  }

  function updateToolbar() {
    toolbar.update(session.states());
  }

  // Does what the core's Effects say.
  function handle(effects) {
    if (effects.repaint) {
      byId('status').textContent = effects.status;
      byId('status').title = session.statusToolTip();
      showLegend(effects.legend, (i) => session.legendTip(i), (i) => {
        asking = null;
        handle(session.explainLegend(i));
      });
      plotTip = effects.toolTip;
      picture.title = plotTip;
      hideTip();
      repaint();
    }
    if (effects.timer === 'start') {
      clearInterval(timer);
      timer = setInterval(() => {
        if (!document.querySelector('dialog[open]')) handle(session.tick());
      }, effects.timerMilliseconds);
    } else if (effects.timer === 'stop') {
      clearInterval(timer);
      timer = null;
    }
    if (effects.statusBarShown !== undefined) byId('statusbar').hidden = !effects.statusBarShown;
    if (effects.fullScreen === true && !document.fullscreenElement && document.documentElement.requestFullscreen) {
      document.documentElement.requestFullscreen().catch(() => {});
    } else if (effects.fullScreen === false && document.fullscreenElement) {
      document.exitFullscreen().catch(() => {});
    }
    if (effects.quit) {
      page.messages.push({ caption: 'Exit', text: 'Close this tab to leave the program.' });
      showMessage('Exit', 'Close this tab to leave the program.', '', null);
    }
    updateToolbar();
    if (effects.question) ask(effects.question);
  }

  // The core repeats its pending question with every Effects until it is
  // answered; the box already open is that question.
  let asking = null;
  function ask(q) {
    const key = q.kind + '\n' + q.text;
    if (asking === key || document.querySelector('dialog[open]')) return;
    asking = key;
    const answered = (effects) => {
      asking = null;
      handle(effects);
    };
    switch (q.kind) {
      case 'message':
      case 'offer':
        page.messages.push({ caption: q.caption, text: q.text });
        showMessage(q.caption, q.text, q.kind === 'offer' ? q.action : '', (choice) =>
          answered(session.answer(choice))
        );
        break;
      case 'howItWorks':
        page.messages.push({ caption: q.caption, text: 'How it works' });
        showHowItWorks(core, () => answered(session.answer('ok')), q.text);
        break;
      case 'chooseDensity':
        densityDialog.open(q.form, (fields) =>
          answered(fields ? session.chooseDensity(fields) : session.answer('cancel'))
        );
        break;
      case 'openLesson':
        fileInput.value = '';
        fileInput.click();
        break;
      case 'saveLesson':
        download('lesson.json', 'application/json', q.lessonText);
        answered(session.answer('ok'));
        break;
      case 'savePicture':
        picture.toBlob((blob) => {
          if (blob) download('picture.png', 'image/png', blob);
          answered(session.answer('ok'));
        }, 'image/png');
        break;
    }
  }

  // A command, a lesson or a file's problem drops any question still out.
  function run(id) {
    const state = session.states()[id];
    if (state && !state.enabled) return;
    asking = null;
    handle(session.apply(id));
  }

  function openText(text) {
    asking = null;
    handle(session.openLessonText(text));
  }

  function unreadable(problem) {
    asking = null;
    handle(session.lessonUnreadable(problem));
  }

  function openLink() {
    const encoded = lessonFromHash();
    if (encoded === null) return;
    let text;
    try {
      text = decodeURIComponent(encoded);
    } catch (e) {
      unreadable('The link does not hold a lesson: its text after # is not URL-encoded.');
      return;
    }
    openText(text);
  }

  function copyLink() {
    const link = linkOf(session.lessonText());
    const shown = (note) => showLink(link, note);
    if (navigator.clipboard && navigator.clipboard.writeText) {
      navigator.clipboard.writeText(link).then(
        () => shown('Copied to the clipboard. Whoever opens it sees this state.'),
        () => shown('The browser keeps the clipboard closed here: copy the link from this box.')
      );
    } else {
      shown('Copy the link from this box. Whoever opens it sees this state.');
    }
    page.lastLink = link;
  }

  function readFile(file) {
    file.text().then(openText, () => unreadable('The file ' + file.name + ' could not be read.'));
  }

  const toolbar = new Toolbar(byId('toolbar'), core.commands(), core.menuTitles(), run, [
    { group: 0, id: 'copy-link', label: 'Copy link', title: 'The link to the state on screen, for the clipboard', run: copyLink },
  ]);

  const cancelled = () => {
    asking = null;
    handle(session.answer('cancel'));
  };
  fileInput.addEventListener('change', () => {
    if (fileInput.files.length > 0) readFile(fileInput.files[0]);
    else cancelled();
  });
  fileInput.addEventListener('cancel', cancelled);

  // A lesson file dropped anywhere on the page.
  let dragDepth = 0;
  document.addEventListener('dragenter', (e) => {
    e.preventDefault();
    dragDepth += 1;
    byId('drop-hint').hidden = false;
  });
  document.addEventListener('dragleave', () => {
    dragDepth = Math.max(0, dragDepth - 1);
    if (dragDepth === 0) byId('drop-hint').hidden = true;
  });
  document.addEventListener('dragover', (e) => e.preventDefault());
  document.addEventListener('drop', (e) => {
    e.preventDefault();
    dragDepth = 0;
    byId('drop-hint').hidden = true;
    if (e.dataTransfer.files.length > 0) readFile(e.dataTransfer.files[0]);
  });

  document.addEventListener('keydown', (e) => {
    if (document.querySelector('dialog[open]')) return;
    if (e.target instanceof HTMLInputElement || e.target instanceof HTMLSelectElement) return;
    const id = toolbar.commandOf(e);
    if (id === 0) return;
    e.preventDefault();
    toolbar.closeAll();
    run(id);
  });

  function fit() {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(1, Math.floor(stage.clientWidth));
    const height = Math.max(1, Math.floor(stage.clientHeight));
    if (width === size.width && height === size.height && ratio === size.ratio) return;
    size = { width: width, height: height, ratio: ratio };
    picture.width = Math.round(width * ratio);
    picture.height = Math.round(height * ratio);
    picture.style.width = width + 'px';
    picture.style.height = height + 'px';
    handle(session.resize(width, height));
    repaint();
  }
  new ResizeObserver(fit).observe(stage);
  window.addEventListener('hashchange', openLink);

  fit();
  openLink();
  updateToolbar();
  paintNow();

  page.session = session;
  page.core = core;
  page.run = run;
  page.openText = openText;
  page.copyLink = copyLink;
  page.paintNow = paintNow;
}

page.ready = createSamplerModule().then((core) => {
  startPage(core);
  return core;
});
window.samplerPage = page;
