// The command table as a toolbar: one drop-down group per menu, a button per
// command with its key, enabled and checked as the table says; and the same
// keys on the keyboard.
'use strict';

const specialKeys = { 0x100: 'Backspace', 0x101: 'F11', 0x102: 'Home' };

function plainLabel(label) {
  return label.replace(/&(.)/g, '$1').replace(/\t.*$/, '').replace(/\.\.\.$/, '…');
}

class Toolbar {
  // `rows` and `titles` from the core; `run(id)` sends a command; `extras`
  // adds the page's own buttons to a group: {group, label, title, run}.
  constructor(element, rows, titles, run, extras) {
    this.element = element;
    this.buttons = new Map();
    this.keys = [];
    this.run = run;
    titles.forEach((title, popup) => {
      // Hidden rows keep their keys but get no button, as they get no menu item.
      const commands = rows.filter((r) => r.popup === popup && !r.hidden);
      const own = extras.filter((e) => e.group === popup);
      if (commands.length === 0 && own.length === 0) return;
      const group = document.createElement('details');
      group.className = 'group';
      const summary = document.createElement('summary');
      summary.textContent = plainLabel(title);
      group.appendChild(summary);
      const items = document.createElement('div');
      items.className = 'items';
      items.setAttribute('role', 'menu');
      for (const row of commands) {
        if (row.id === 0 || row.label === null) {
          items.appendChild(document.createElement('hr'));
          continue;
        }
        items.appendChild(this.button(row, group));
      }
      for (const extra of own) items.appendChild(this.extraButton(extra, group));
      group.appendChild(items);
      element.appendChild(group);
    });
    // The everyday steps of a lesson as buttons of their own: one tap each.
    const quick = rows.filter((r) => r.quick && !r.hidden);
    if (quick.length) {
      const bar = document.createElement('div');
      bar.className = 'quick-bar';
      for (const row of quick) bar.appendChild(this.button(row, null, 'quick'));
      element.appendChild(bar);
    }
    for (const row of rows) {
      for (const key of row.keys) this.keys.push({ id: row.id, key: key.key, control: key.control });
    }
    // Browsers keep Ctrl+T, Ctrl+N and Ctrl+W for themselves: a Ctrl+letter
    // command also answers to its letter alone, unless a plain key has it.
    for (const k of this.keys.slice()) {
      const letter = k.control && !specialKeys[k.key];
      if (letter && !this.keys.some((o) => !o.control && o.key === k.key)) {
        this.keys.push({ id: k.id, key: k.key, control: false });
      }
    }
    // One group open at a time; a tap elsewhere closes it.
    element.addEventListener('toggle', (event) => this.closeOthers(event.target), true);
    document.addEventListener('pointerdown', (event) => {
      if (!element.contains(event.target)) this.closeAll();
    });
  }

  button(row, group, className) {
    const b = document.createElement('button');
    b.type = 'button';
    b.dataset.command = row.id;
    if (className) {
      b.className = className;
      if (row.checkable) b.setAttribute('aria-pressed', 'false');
    } else {
      b.setAttribute('role', row.checkable ? 'menuitemcheckbox' : 'menuitem');
    }
    const label = document.createElement('span');
    label.className = 'label';
    label.textContent = plainLabel(row.label);
    b.appendChild(label);
    const keyNames = row.keys.map((k) => k.name).join(', ');
    if (keyNames) {
      const key = document.createElement('span');
      key.className = 'key';
      key.textContent = keyNames;
      b.appendChild(key);
    }
    b.title = (row.help || plainLabel(row.label)) + (keyNames ? ' (' + keyNames + ')' : '');
    b.addEventListener('click', () => {
      if (group) group.open = false;
      this.run(row.id);
    });
    if (!this.buttons.has(row.id)) this.buttons.set(row.id, []);
    this.buttons.get(row.id).push({ button: b, checkable: row.checkable, pressed: !!className });
    return b;
  }

  extraButton(extra, group) {
    const b = document.createElement('button');
    b.type = 'button';
    b.id = extra.id;
    b.setAttribute('role', 'menuitem');
    const label = document.createElement('span');
    label.className = 'label';
    label.textContent = extra.label;
    b.appendChild(label);
    b.title = extra.title;
    b.addEventListener('click', () => {
      group.open = false;
      extra.run();
    });
    return b;
  }

  // `states[id]`: {enabled, checked}, from the core after every command.
  update(states) {
    for (const [id, buttons] of this.buttons) {
      const state = states[id];
      if (!state) continue;
      for (const { button, checkable, pressed } of buttons) {
        button.disabled = !state.enabled;
        if (checkable) button.setAttribute(pressed ? 'aria-pressed' : 'aria-checked', state.checked ? 'true' : 'false');
      }
    }
  }

  closeOthers(opened) {
    if (!opened.open) return;
    for (const group of this.element.querySelectorAll('details.group')) {
      if (group !== opened) group.open = false;
    }
  }

  closeAll() {
    for (const group of this.element.querySelectorAll('details.group')) group.open = false;
  }

  // The command of a key press, or 0.
  commandOf(event) {
    if (event.altKey) return 0;
    const control = event.ctrlKey || event.metaKey;
    for (const k of this.keys) {
      if (k.control !== control) continue;
      const special = specialKeys[k.key];
      const matches = special
        ? event.key === special
        : event.key.length === 1 && event.key.toUpperCase() === String.fromCharCode(k.key);
      if (matches) return k.id;
    }
    return 0;
  }
}
