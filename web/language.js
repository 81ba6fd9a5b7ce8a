// The page's language: which one (the player's choice kept in settings.ini,
// else the browser's languages, else English), the catalogs the site
// carries (locale/CODE/LC_MESSAGES/quillvane.mo, the same compiled gettext
// catalogs the desktop editions read) and a small reader of them for the
// page's own texts. The game reads the same catalog in its own memory.

// The languages the page offers, each named in its own language.
export const offered = [['en', 'English'], ['es', 'Español'], ['de', 'Deutsch']];
// The catalogs the site carries: every translation, and the pseudo-language
// qps (every text bracketed) that the tests play; English needs none.
export const carried = ['es', 'de', 'qps'];

// Where the site keeps a language's catalog.
export function catalogPath(code) {
  return `locale/${code}/LC_MESSAGES/quillvane.mo`;
}

// A code as catalogs are named, the way the game reads one: "de-AT",
// "de_AT.UTF-8" give "de_AT", "ES" gives "es"; '' for anything else.
export function normalizeCode(raw) {
  const match = /^([A-Za-z]{2,3})(?:[-_]([A-Za-z0-9]{1,8}))?$/.exec(String(raw).split(/[.@]/)[0]);
  if (!match) return '';
  const language = match[1].toLowerCase();
  return match[2] ? `${language}_${match[2].toUpperCase()}` : language;
}

export function isEnglish(code) {
  return code === 'en' || code.startsWith('en_');
}

// The language the page speaks for a code: English, a carried catalog
// (the code's own, else its language's: "de_AT" is spoken as "de"), or ''
// when the site has none.
export function spoken(raw) {
  const code = normalizeCode(raw);
  if (!code) return '';
  if (isEnglish(code)) return 'en';
  for (const name of [code, code.split('_')[0]]) if (carried.includes(name)) return name;
  return '';
}

// The first of the browser's languages (navigator.languages, most wanted
// first) that the page speaks, else English.
export function browserLanguage(languages) {
  for (const wanted of languages || []) {
    const code = spoken(wanted);
    if (code) return code;
  }
  return 'en';
}

// Whether a voice (speechSynthesis's, whose lang is "es-ES", "es_ES" or
// "es") speaks the language of a catalog's code.
export function voiceSpeaks(voiceLang, code) {
  const voice = normalizeCode(voiceLang);
  return Boolean(voice) && voice.split('_')[0] === code.split('_')[0];
}

// The translations of a compiled catalog (.mo bytes, either byte order):
// a Map from each message's id to its translation, or null for bytes that
// are no catalog. Messages with a context or a plural keep the keys the
// file gives them; the page's texts have neither.
export function readCatalog(buffer) {
  const bytes = buffer instanceof Uint8Array ? buffer : new Uint8Array(buffer);
  if (bytes.length < 28) return null;
  const view = new DataView(bytes.buffer, bytes.byteOffset, bytes.byteLength);
  const magic = view.getUint32(0, true);
  let little;
  if (magic === 0x950412de) little = true;
  else if (magic === 0xde120495) little = false;
  else return null;
  const word = (at) => (at + 4 <= bytes.length ? view.getUint32(at, little) : null);
  const count = word(8);
  const originals = word(12);
  const translations = word(16);
  const decoder = new TextDecoder('utf-8', { fatal: true });
  const stringAt = (table, i) => {
    const length = word(table + 8 * i);
    const offset = word(table + 8 * i + 4);
    if (length === null || offset === null || offset + length > bytes.length) return null;
    return decoder.decode(bytes.subarray(offset, offset + length));
  };
  const messages = new Map();
  try {
    for (let i = 0; i < count; i++) {
      const id = stringAt(originals, i);
      const text = stringAt(translations, i);
      if (id === null || text === null) return null;
      if (id) messages.set(id, text);
    }
  } catch (error) {
    return null;  // not UTF-8
  }
  return messages;
}

// A language's catalog for the page: its texts looked up, and the file's
// bytes, which the game is given too.
export class Catalog {
  constructor(code, bytes, messages) {
    Object.assign(this, { code, bytes, messages });
  }

  text(id) {
    const found = this.messages.get(id);
    return found ? found : id;
  }
}

// Fetches a carried language's catalog: null for English, or when it cannot
// be had (the page then shows English, and the game plays it).
export async function fetchCatalog(code, fetch = globalThis.fetch) {
  if (code === 'en' || !carried.includes(code)) return null;
  try {
    const response = await fetch(catalogPath(code));
    if (!response.ok) return null;
    const bytes = new Uint8Array(await response.arrayBuffer());
    const messages = readCatalog(bytes);
    return messages ? new Catalog(code, bytes, messages) : null;
  } catch (error) {
    return null;
  }
}
