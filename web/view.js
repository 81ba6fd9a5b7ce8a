// The item list on the page's canvas, drawn for players with some sight and
// sighted helpers (screen readers skip it). The game lays it out in the
// units of the desktop window (platform/item_layout.h: a line step of 15, a
// 13-unit bold font, names at 20, the selection's bracket at 10); the page
// draws those units at a scale of its own: never smaller than 16 CSS px
// text, so on a narrow screen the list shows less of each line's width and
// scrolls with the selection rather than shrinking. Colours: darker green
// and magenta than the desktop's (at least 4.5:1 on white), slot names
// underlined as well; with `prefers-contrast: more` the selected line is
// inverted; with forced colours (a high contrast theme) the system's Canvas,
// CanvasText, Highlight and HighlightText (the selected line framed in the
// highlight instead where the theme's highlighted text would be too faint).
export const listWidth = 520;
export const lineStep = 15;
export const fontUnits = 13;
export const smallestText = 16;
// The canvas shows 40 lines: the whole of a game's 36 entries.
export const viewUnits = 600;

// What a piece of a row is (web_platform.cpp sends these numbers).
export const Role = { name: 0, selection: 1, slot: 2 };

// CSS px per unit of the layout for a list shown cssWidth wide.
export function listScale(cssWidth) {
  return Math.max(cssWidth / listWidth, smallestText / fontUnits);
}

// The rows of web_draw's records: each row's top, whether it is the
// selected entry, and its pieces of text (x, role, text).
export function parseRows(records) {
  return records.split('\x1e').filter(Boolean).map((record) => {
    const [y, selected, ...fields] = record.split('\x1f');
    const pieces = [];
    for (let i = 0; i + 2 < fields.length; i += 3)
      pieces.push({ x: Number(fields[i]), role: Number(fields[i + 1]), text: fields[i + 2] });
    return { y: Number(y), selected: selected === '1', pieces };
  });
}

// The scroll (units) that keeps the selected row in view, moving no
// further than needed from the scroll before.
export function scrollFor(rows, scroll, viewHeight) {
  const selected = rows.find((row) => row.selected);
  let next = scroll;
  if (selected) {
    if (selected.y < next + lineStep) next = Math.max(0, selected.y - lineStep);
    if (selected.y + lineStep * 2 > next + viewHeight) next = selected.y + lineStep * 2 - viewHeight;
  }
  const bottom = rows.length ? rows[rows.length - 1].y : 0;
  return Math.max(0, Math.min(next, bottom + lineStep * 2 - viewHeight));
}

// The entry on the line at y CSS px down from the canvas's top.
export function entryAt(y, scale, scroll) {
  return Math.floor((y / scale + scroll) / lineStep);
}

// The colours of the normal drawing (each at least 4.5:1 on the background).
export const normalColours = {
  background: 'rgb(255, 255, 255)', name: 'rgb(0, 0, 0)', selection: 'rgb(0, 110, 0)',
  slot: 'rgb(180, 0, 180)', band: null, bandText: null, frame: null,
};
export const moreContrastColours = {
  background: 'rgb(255, 255, 255)', name: 'rgb(0, 0, 0)', selection: 'rgb(0, 0, 0)',
  slot: 'rgb(120, 0, 120)', band: 'rgb(0, 0, 0)', bandText: 'rgb(255, 255, 255)', frame: null,
};

// WCAG's contrast ratio of two CSS colours "rgb(r, g, b)".
export function contrast(first, second) {
  const luminance = (colour) => {
    const [r, g, b] = (colour.match(/[\d.]+/g) || [0, 0, 0]).slice(0, 3).map((value) => {
      const s = Number(value) / 255;
      return s <= 0.04045 ? s / 12.92 : ((s + 0.055) / 1.055) ** 2.4;
    });
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
  };
  const [light, dark] = [luminance(first), luminance(second)].sort((x, y) => y - x);
  return (light + 0.05) / (dark + 0.05);
}

// The colours of a high contrast theme: names in its text colour on its
// background; the selected line in its highlight, where the theme's
// highlighted text stands out from it by 4.5:1, else framed in the
// highlight with its text as any other's.
export function forcedColours({ canvas, text, highlight, highlightText }) {
  const colours = { background: canvas, name: text, selection: text, slot: text, band: null, bandText: null,
                    frame: null };
  if (contrast(highlight, highlightText) >= 4.5) {
    colours.band = highlight;
    colours.bandText = highlightText;
  } else {
    colours.frame = contrast(highlight, canvas) >= 3 ? highlight : text;
  }
  return colours;
}

// The colours a page draws with now: forced colours from the system's
// (read through the probe, an element the page styles with them), more
// contrast, or the normal ones.
export function pageColours(window, probe) {
  if (window.matchMedia('(forced-colors: active)').matches) {
    const style = (property, value) => {
      probe.style.setProperty(property, value);
      return window.getComputedStyle(probe).getPropertyValue(property);
    };
    return forcedColours({
      canvas: style('background-color', 'Canvas'), text: style('color', 'CanvasText'),
      highlight: style('background-color', 'Highlight'), highlightText: style('color', 'HighlightText'),
    });
  }
  if (window.matchMedia('(prefers-contrast: more)').matches) return moreContrastColours;
  return normalColours;
}

export class ItemList {
  // canvas: the list's canvas; probe: an element kept out of sight whose
  // computed colours give the system's; window: the page's window.
  constructor(canvas, probe, window) {
    this.canvas = canvas;
    this.probe = probe;
    this.window = window;
    this.rows = [];
    this.scroll = 0;
    this.scale = 1;
    this.frameRequested = false;
    this.colours = normalColours;
  }

  // The list as the game now lays it out; drawn at the next frame, after
  // the line that goes with it is spoken.
  show(records) {
    this.rows = parseRows(records);
    this.redraw();
  }

  redraw() {
    if (this.frameRequested) return;
    this.frameRequested = true;
    this.window.requestAnimationFrame(() => {
      this.frameRequested = false;
      this.render();
    });
  }

  // The canvas follows its shown width: its height is the 40 lines at the
  // scale, and it holds a device pixel for each of the screen's, so that
  // the list stays sharp on high-density screens and when zoomed.
  fit() {
    const width = this.canvas.getBoundingClientRect().width;
    if (!width) return;
    this.scale = listScale(width);
    const height = viewUnits * this.scale;
    if (Math.abs(parseFloat(this.canvas.style.height || '0') - height) > 0.5)
      this.canvas.style.height = `${height}px`;
    const ratio = this.window.devicePixelRatio || 1;
    const pixelsWide = Math.round(width * ratio);
    const pixelsHigh = Math.round(height * ratio);
    if (this.canvas.width !== pixelsWide || this.canvas.height !== pixelsHigh) {
      this.canvas.width = pixelsWide;
      this.canvas.height = pixelsHigh;
    }
    this.redraw();
  }

  // The entry under a tap at clientY.
  entryAtPoint(clientY) {
    const shown = this.canvas.getBoundingClientRect();
    return entryAt(clientY - shown.top, this.scale, this.scroll);
  }

  render() {
    this.colours = pageColours(this.window, this.probe);
    const colours = this.colours;
    const context = this.canvas.getContext('2d');
    const pixelsPerUnit = this.canvas.width / (this.canvas.getBoundingClientRect().width || 1) *
                          this.scale;
    const viewWidth = this.canvas.width / pixelsPerUnit;
    const viewHeight = this.canvas.height / pixelsPerUnit;
    this.scroll = scrollFor(this.rows, this.scroll, viewHeight);
    context.setTransform(pixelsPerUnit, 0, 0, pixelsPerUnit, 0, 0);
    context.fillStyle = colours.background;
    context.fillRect(0, 0, viewWidth, viewHeight);
    context.font = `bold ${fontUnits}px "DejaVu Sans", sans-serif`;
    context.textBaseline = 'top';
    for (const row of this.rows) {
      // Only the rows in view: a cheat inventory may hold thousands.
      const top = row.y - this.scroll;
      if (top + lineStep < 0 || top > viewHeight) continue;
      const inverted = row.selected && colours.band;
      if (inverted) {
        context.fillStyle = colours.band;
        context.fillRect(0, top - 1, viewWidth, lineStep);
      }
      if (row.selected && colours.frame) {
        context.strokeStyle = colours.frame;
        context.lineWidth = 1.5;
        context.strokeRect(2, top - 1.5, viewWidth - 4, lineStep + 0.5);
      }
      for (const piece of row.pieces) {
        const colour = inverted ? colours.bandText
          : colours[{ [Role.selection]: 'selection', [Role.slot]: 'slot' }[piece.role] || 'name'];
        context.fillStyle = colour;
        context.fillText(piece.text, piece.x, top);
        if (piece.role === Role.slot) {
          // An entry in a slot is underlined too: told by more than colour.
          const width = context.measureText(piece.text).width;
          context.fillRect(piece.x, top + fontUnits - 0.5, width, 1.2);
        }
      }
    }
  }
}
