// The core's questions as HTML dialogs: message boxes, the offer of another
// transformation, the Other density dialog, and the box that shows a link.
'use strict';

function byId(id) {
  return document.getElementById(id);
}

// A box with OK, and an action button beside it when `action` is given;
// `done('ok' | 'action')` once it closes.
function showMessage(caption, text, action, done) {
  const box = byId('message-box');
  byId('message-caption').textContent = caption || 'Adaptive Rejection Sampler';
  byId('message-text').textContent = text;
  const actionButton = byId('message-action');
  actionButton.hidden = !action;
  actionButton.textContent = action ? action.replace(/&(.)/g, '$1') : '';
  box.returnValue = 'ok';
  box.addEventListener(
    'close',
    () => {
      if (done) done(box.returnValue === 'action' ? 'action' : 'ok');
    },
    { once: true }
  );
  box.showModal();
}

function showLink(link, note) {
  const box = byId('link-box');
  byId('link-note').textContent = note;
  const field = byId('link-text');
  field.value = link;
  box.showModal();
  field.focus();
  field.select();
}

// Help > How it works, from the core's sections: headings, paragraphs, and
// diagrams the core draws through the same canvas calls as the picture;
// opened at the section of `anchor` where one is given. `done()` once it closes.
function showHowItWorks(core, done, anchor) {
  const holder = byId('how-page');
  holder.textContent = '';
  const box = byId('how-box');
  for (const section of core.howItWorks()) {
    const heading = document.createElement('h3');
    heading.textContent = section.heading;
    heading.id = 'how-' + section.anchor;
    holder.appendChild(heading);
    for (const text of section.paragraphs) {
      const p = document.createElement('p');
      p.textContent = text;
      holder.appendChild(p);
    }
    if (section.diagram !== 0) {
      const picture = document.createElement('canvas');
      picture.className = 'how-diagram';
      picture.dataset.diagram = String(section.diagram);
      holder.appendChild(picture);
    }
  }
  box.addEventListener('close', () => done && done(), { once: true });
  box.showModal();
  // Drawn once the dialog has its width.
  for (const picture of holder.querySelectorAll('canvas.how-diagram')) {
    const ratio = window.devicePixelRatio || 1;
    const width = Math.max(200, Math.floor(picture.clientWidth || holder.clientWidth || 320));
    const height = Math.round(width * 0.55);
    picture.width = Math.round(width * ratio);
    picture.height = Math.round(height * ratio);
    picture.style.height = height + 'px';
    const g = picture.getContext('2d');
    g.setTransform(ratio, 0, 0, ratio, 0, 0);
    g.fillStyle = '#fff';
    g.fillRect(0, 0, width, height);
    const canvas = new HtmlCanvas(g, width, height, ratio);
    try {
      core.paintHowDiagram(Number(picture.dataset.diagram), canvas, width, height, 1);
    } finally {
      canvas.finish();
    }
  }
  holder.scrollTop = 0;
  const section = anchor ? byId('how-' + anchor) : null;
  if (section) holder.scrollTop = section.offsetTop - holder.offsetTop;
}

// A "?" after a label: its tip defines the term, a click opens How it works
// at the term's section over the dialog.
function addTermHelp(core, label, definition, anchor) {
  const help = document.createElement('button');
  help.type = 'button';
  help.className = 'term-help';
  help.textContent = '?';
  help.title = definition + '\nClick: How it works.';
  help.dataset.anchor = anchor;
  help.setAttribute('aria-label', 'How it works: ' + definition);
  help.addEventListener('click', (event) => {
    event.preventDefault();
    showHowItWorks(core, null, anchor);
  });
  label.querySelector('span').appendChild(help);
}

// The Other density dialog. `core` gives catalogue() and checkDensity();
// `done(fields)` with the fields on OK, `done(null)` on Cancel.
class DensityDialog {
  constructor(core) {
    this.core = core;
    this.entries = core.catalogue();
    const source = byId('density-source');
    const options = ['Formula in x'].concat(this.entries.map((e) => e.name));
    options.forEach((name, i) => {
      const option = document.createElement('option');
      option.value = String(i);
      option.textContent = name;
      source.appendChild(option);
    });
    source.addEventListener('change', () => this.showEntry());
    const hints = core.densityHints();
    byId('density-transform').closest('label').title = hints.transform;
    byId('density-splits').closest('label').title = hints.splits;
    addTermHelp(core, byId('density-transform').closest('label'), hints.transformTerm, hints.transformAnchor);
    addTermHelp(core, byId('density-splits').closest('label'), hints.splitsTerm, hints.splitsAnchor);
    for (const id of ['density-formula', 'density-lower', 'density-upper', 'density-splits']) {
      byId(id).addEventListener('input', () => this.check());
    }
    for (const id of ['density-form-kind', 'density-transform']) byId(id).addEventListener('change', () => this.check());
    byId('density-box').addEventListener('close', () => {
      const done = this.done;
      this.done = null;
      if (done) done(byId('density-box').returnValue === 'ok' && !this.problem ? this.fields() : null);
    });
    // Enter in a field is OK only when OK is enabled.
    byId('density-form').addEventListener('submit', (event) => {
      if (event.submitter === byId('density-ok') && this.problem) event.preventDefault();
    });
  }

  open(form, done) {
    this.done = done;
    byId('density-source').value = '0';
    byId('density-formula').value = form.formula;
    byId('density-form-kind').value = form.logDensity ? 'log' : 'density';
    byId('density-lower').value = form.lower;
    byId('density-upper').value = form.upper;
    byId('density-transform').value = form.inverseSqrt ? 'inverse-sqrt' : 'log';
    byId('density-splits').value = form.splits;
    this.showEntry();
    const box = byId('density-box');
    box.returnValue = 'cancel';
    box.showModal();
    byId('density-formula').focus();
  }

  source() {
    return Number(byId('density-source').value);
  }

  showEntry() {
    const source = this.source();
    byId('formula-page').hidden = source !== 0;
    byId('catalogue-page').hidden = source === 0;
    const holder = byId('catalogue-parameters');
    holder.textContent = '';
    if (source > 0) {
      const entry = this.entries[source - 1];
      entry.parameters.forEach((name, i) => {
        const row = document.createElement('label');
        row.className = 'row';
        const caption = document.createElement('span');
        caption.textContent = name;
        const input = document.createElement('input');
        input.className = 'parameter';
        input.value = entry.defaults[i];
        input.autocomplete = 'off';
        input.addEventListener('input', () => this.check());
        row.append(caption, input);
        holder.appendChild(row);
      });
    }
    this.check();
  }

  fields() {
    return {
      source: this.source(),
      formula: byId('density-formula').value,
      logDensity: byId('density-form-kind').value === 'log',
      lower: byId('density-lower').value,
      upper: byId('density-upper').value,
      inverseSqrt: byId('density-transform').value === 'inverse-sqrt',
      splits: byId('density-splits').value,
      parameters: Array.from(document.querySelectorAll('#catalogue-parameters .parameter'), (i) => i.value),
    };
  }

  check() {
    const result = this.core.checkDensity(this.fields());
    this.problem = result.problem;
    byId('density-problem').textContent = result.problem;
    byId('catalogue-note').textContent = result.note;
    byId('density-ok').disabled = result.problem !== '';
  }
}
