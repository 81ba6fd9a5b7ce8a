// The page's language under node's test runner: codes as the game reads
// them, the language a browser's list asks for, the voices that speak it,
// the reader of compiled catalogs, and the page's texts through a catalog.
import test from 'node:test';
import assert from 'node:assert';
import fs from 'node:fs';
import {
  offered, carried, normalizeCode, spoken, browserLanguage, voiceSpeaks, readCatalog, Catalog,
  catalogPath,
} from '../language.js';
import { texts, say, joined, useCatalog, textsLanguage, documentLanguage } from '../texts.js';

// A compiled catalog (.mo) of the messages ([id, translation] pairs), in
// little- or big-endian words, as msgfmt writes it (ids sorted).
function moFile(messages, little = true) {
  const sorted = [...messages].sort(([a], [b]) => (Buffer.from(a) < Buffer.from(b) ? -1 : 1));
  const encoded = sorted.map(([id, text]) => [Buffer.from(id), Buffer.from(text)]);
  const n = encoded.length;
  const originals = 28;
  const translations = originals + 8 * n;
  let at = translations + 8 * n;
  const words = [0x950412de, 0, n, originals, translations, 0, 0];
  const strings = [];
  const table = (which) => {
    for (const pair of encoded) {
      words.push(pair[which].length, at);
      strings.push(pair[which], Buffer.from([0]));
      at += pair[which].length + 1;
    }
  };
  table(0);
  table(1);
  const head = Buffer.alloc(words.length * 4);
  words.forEach((word, i) => (little ? head.writeUInt32LE(word, i * 4) : head.writeUInt32BE(word, i * 4)));
  return new Uint8Array(Buffer.concat([head, ...strings]));
}

test('codes are read as the game reads them, and spoken when the site has their catalog', () => {
  // [what a browser or a file says, the code, the language the page speaks]
  const cases = [
    ['es', 'es', 'es'], ['ES', 'es', 'es'], ['es-MX', 'es_MX', 'es'], ['de_AT.UTF-8@euro', 'de_AT', 'de'],
    ['de-CH', 'de_CH', 'de'], ['en', 'en', 'en'], ['en-GB', 'en_GB', 'en'], ['qps', 'qps', 'qps'],
    ['fr', 'fr', ''], ['pt-BR', 'pt_BR', ''], ['', '', ''], ['e', '', ''], ['english', '', ''],
    ['es-', '', ''], ['../es', '', ''], ['es_MX_x', '', ''], ['zh-Hant', 'zh_HANT', ''],
  ];
  for (const [raw, code, language] of cases) {
    assert.strictEqual(normalizeCode(raw), code, raw);
    assert.strictEqual(spoken(raw), language, raw);
  }
});

test("the browser's languages choose the first the page speaks, else English", () => {
  const cases = [
    [['es-ES', 'es', 'en'], 'es'], [['fr-FR', 'de-AT', 'es'], 'de'], [['fr', 'it'], 'en'],
    [['en-US', 'es'], 'en'], [[], 'en'], [undefined, 'en'], [['pt-BR', 'es-419'], 'es'],
  ];
  for (const [languages, code] of cases) assert.strictEqual(browserLanguage(languages), code, String(languages));
});

test('the page offers each translation the repository has, named in its own language', () => {
  const translations = fs.readdirSync(new URL('../../po/', import.meta.url))
    .filter((name) => name.endsWith('.po')).map((name) => name.slice(0, -3)).sort();
  assert.deepStrictEqual(offered.map(([code]) => code).sort(), ['en', ...translations].sort());
  assert.deepStrictEqual([...carried].sort(), [...translations, 'qps'].sort());
  assert.deepStrictEqual(offered, [['en', 'English'], ['es', 'Español'], ['de', 'Deutsch']]);
  assert.strictEqual(catalogPath('es'), 'locale/es/LC_MESSAGES/quillvane.mo');
});

test('a voice speaks a language when their first parts agree', () => {
  const cases = [
    ['es-ES', 'es', true], ['es_MX', 'es', true], ['es', 'es_MX', true], ['ES-es', 'es', true],
    ['en-GB', 'en', true], ['de-DE', 'es', false], ['', 'es', false], [undefined, 'en', false],
    ['en-US', 'qps', false],
  ];
  for (const [voice, code, speaks] of cases) assert.strictEqual(voiceSpeaks(voice, code), speaks, `${voice} ${code}`);
});

test('compiled catalogs are read in either byte order; anything else is no catalog', () => {
  const messages = [['', 'Content-Type: text/plain; charset=UTF-8\n'], ['Start Quillvane', 'Empezar Quillvane'],
                    ['Menu', 'Menú'], ['item\u0004Dirt', 'Tierra'], ['Loaded %1$s.', 'Cargado: %1$s.']];
  for (const little of [true, false]) {
    const read = readCatalog(moFile(messages, little));
    assert.ok(read, `little-endian ${little}`);
    assert.strictEqual(read.get('Start Quillvane'), 'Empezar Quillvane');
    assert.strictEqual(read.get('Menu'), 'Menú');
    assert.strictEqual(read.get('item\u0004Dirt'), 'Tierra');
    assert.strictEqual(read.has(''), false, 'the header is no message');
  }
  const good = moFile(messages);
  const notUtf8 = moFile([['Menu', 'x']]);
  notUtf8[notUtf8.length - 2] = 0xff;
  const cases = [new Uint8Array(0), good.subarray(0, 27), good.subarray(0, good.length - 10),
                 new Uint8Array(64), notUtf8];
  for (const bytes of cases) assert.strictEqual(readCatalog(bytes), null, `${bytes.length} bytes`);
});

test("the page's texts come from the catalog in use, and are English without one", () => {
  const catalog = new Catalog('es', null, new Map([
    ['Start Quillvane', 'Empezar Quillvane'],
    ['%1$s, %2$s', '%1$s, %2$s'],
    ['%1$s and %2$s', '%1$s y %2$s'],
    ['Saved %1$s in quillvane-files.zip.', 'Guardados en quillvane-files.zip: %1$s.'],
  ]));
  try {
    useCatalog('es', catalog);
    assert.strictEqual(textsLanguage(), 'es');
    assert.strictEqual(say('start'), 'Empezar Quillvane');
    assert.strictEqual(say('saved', joined(['progress.ini', 'achievements.ini', 'log.txt'])),
                       'Guardados en quillvane-files.zip: progress.ini, achievements.ini y log.txt.');
    // A text the catalog lacks stays English rather than empty.
    assert.strictEqual(say('back'), 'Back to the game');
    assert.strictEqual(say('title'), 'Quillvane');
  } finally {
    useCatalog('en', null);
  }
  assert.strictEqual(say('start'), 'Start Quillvane');
  assert.strictEqual(textsLanguage(), 'en');
  assert.strictEqual(documentLanguage('de_AT'), 'de-AT');
  assert.strictEqual(documentLanguage('es'), 'es');
});

test('every text of the page but the game\'s name is marked for the catalogs', () => {
  const source = fs.readFileSync(new URL('../texts.js', import.meta.url), 'utf8');
  const table = source.slice(source.indexOf('export const texts = {'), source.indexOf('\n};\n'));
  const unmarked = [...table.matchAll(/^ {2}(\w+): '/gm)].map((match) => match[1]);
  assert.deepStrictEqual(unmarked, ['title', 'heading', 'application']);
  const marked = [...table.matchAll(/^ {2}(\w+): N_\(/gm)].map((match) => match[1]);
  assert.strictEqual(marked.length + unmarked.length, Object.keys(texts).length);
});

test("mode 0's voice speaks the game's language, and says once when the browser has none", async () => {
  const { BrowserVoice } = await import('../voice.js');
  globalThis.SpeechSynthesisUtterance = class {
    constructor(text) { this.text = text; }
  };
  const spanish = { name: 'Spanish', lang: 'es-ES', default: false };
  const english = { name: 'English', lang: 'en-GB', default: true };
  const german = { name: 'German', lang: 'de_DE', default: false };
  // [voices the browser lists, the game's language, what is spoken: [text, lang, voice name]]
  const notice = 'Ningún aviso';
  const cases = [
    [[english, spanish], 'es', [['uno', 'es', 'Spanish'], ['dos', 'es', 'Spanish']]],
    [[german, english], 'de', [['uno', 'de', 'German'], ['dos', 'de', 'German']]],
    [[english, spanish], 'en', [['uno', 'en', 'English'], ['dos', 'en', 'English']]],
    [[english], 'es', [[notice, 'es', undefined], ['uno', 'es', undefined], ['dos', 'es', undefined]]],
    [[spanish], 'qps', [[notice, 'qps', undefined], ['uno', 'qps', undefined], ['dos', 'qps', undefined]]],
  ];
  for (const [voices, code, want] of cases) {
    const spoken = [];
    const speech = {
      getVoices: () => voices,
      cancel: () => {},
      speak: (utterance) => spoken.push([utterance.text, utterance.lang, utterance.voice && utterance.voice.name]),
      addEventListener: () => {},
    };
    const voice = new BrowserVoice({ say: () => {} }, speech);
    voice.language(code, notice);
    voice.watch();
    voice.speak('uno', 1, 1);
    voice.speak('dos', 1, 1);
    assert.deepStrictEqual(spoken, want, `${code} with ${voices.map((v) => v.lang)}`);
  }
  delete globalThis.SpeechSynthesisUtterance;
});
