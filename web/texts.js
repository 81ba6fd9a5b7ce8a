// Every text the page itself shows or announces, in one table (the game's
// own lines come from the game). The page's elements name theirs with
// data-text (their content) and data-text-label (aria-label); applyTexts
// puts them in. Each text is a message of the game's catalogs (N_ marks it
// for po/quillvane.pot), shown in the page's language through the catalog
// in use (useCatalog); English is the table itself. Texts with %1$s, %2$s
// are filled in by say(), in their numbered order.

// Marks a text for the template; the look-up happens when it is shown.
const N_ = (text) => text;

export const texts = {
  // The game's name, the same in every language.
  title: 'Quillvane',
  heading: 'Quillvane',
  application: 'Quillvane',
  introduction: N_('A puzzle game of discovery, played with the keyboard and heard through speech. ' +
    'Press Start Quillvane, then play with the keys: the game speaks through your screen reader. ' +
    'With no screen reader running, press Tab twice to hear the browser\'s own voice.'),
  leaving: N_('Shift+Tab leaves the game; Tab inside the game changes the speech output.'),
  touchIntroduction: N_('No keyboard? Once the game has started, the game controls after it are ' +
    'buttons for its keys.'),
  start: N_('Start Quillvane'),
  // TRANSLATORS: the game area's name, which a screen reader says on entering it.
  gameArea: N_('Quillvane game'),
  gameAreaHelp: N_('Every key goes to the game here, and each line it says is read to you. ' +
    'Shift+Tab leaves the game; Tab inside the game changes the speech output.'),
  controls: N_('Game controls'),
  // TRANSLATORS: a text field: each letter typed in it jumps to the next item whose name starts with it.
  jump: N_('Jump to letter'),
  // TRANSLATORS: the label of the page's choice of language (English, Español, Deutsch).
  language: N_('Language'),
  filesHeading: N_('Your files'),
  filesIntroduction: N_('Your game is kept in this browser. To move it to or from the desktop ' +
    'edition, save your files here, or load the progress.ini and achievements.ini of its data folder.'),
  save: N_('Save my files'),
  load: N_('Load files'),
  keep: N_('Keep my game in this browser'),
  back: N_('Back to the game'),

  // The touch controls, by the key each stands for (touch.js).
  // TRANSLATORS: a button that moves down the item list (the Down arrow).
  nextItem: N_('Next item'),
  previousItem: N_('Previous item'),
  // TRANSLATORS: a button that puts the selected item in a slot (Enter).
  choose: N_('Choose'),
  // TRANSLATORS: a button that combines the two slots (Shift+Enter).
  combine: N_('Combine'),
  // TRANSLATORS: a button that says the last line again (Home).
  repeat: N_('Repeat'),
  // TRANSLATORS: a button that undoes the last recipe (Shift+Backspace).
  undo: N_('Undo'),
  emptySlots: N_('Empty slots'),
  // TRANSLATORS: a button that says how many steps the game has taken (1).
  steps: N_('Steps'),
  knownRecipes: N_('Known recipes'),
  recipesICanMake: N_('Recipes I can make'),
  recipesUsingItem: N_('Recipes using this item'),
  recipesMakingItem: N_('Recipes making this item'),
  menu: N_('Menu'),
  // TRANSLATORS: buttons that go back and forth through the lines said (Page Up, Page Down).
  earlierLine: N_('Earlier line'),
  laterLine: N_('Later line'),
  // TRANSLATORS: a button that says the game's status line (End).
  status: N_('Status'),
  speechOutput: N_('Speech output'),
  // TRANSLATORS: buttons for the voice's speed (the minus and plus keys).
  slower: N_('Slower'),
  faster: N_('Faster'),
  stopSpeech: N_('Stop speech'),
  // TRANSLATORS: a button that changes the sounds' volume (F12).
  sounds: N_('Sounds'),

  // The status line and the page's own announcements.
  loading: N_('Loading the game…'),
  stillLoading: N_('The game is still loading. Try again in a moment.'),
  // TRANSLATORS: %1$s is the browser's own error message, in English.
  notLoadedGame: N_('The game could not be loaded: %1$s'),
  gameEnded: N_('The game has ended. Reload the page to play again.'),
  lockedOut: N_('Quillvane is already running in another tab.'),
  wontKeep: N_('This browser will not keep your game.'),
  noVoice: N_('No browser voice: lines go to your screen reader.'),
  persistGranted: N_('This browser has agreed to keep your game.'),
  persistRefused: N_('This browser may clear your game if it runs short of space: use Save my files now and then.'),
  newVersion: N_('A new version of Quillvane is ready: reload the page to play it.'),
  // TRANSLATORS: said in the language just chosen, and naming it, before the game has started.
  languageAtStart: N_('The game will speak English once you press Start Quillvane.'),
  // TRANSLATORS: said in the language just chosen, and naming it, while a game is being played.
  languageAtReload: N_('Reload the page to play in English.'),
  noFilesYet: N_('There are no saved files yet: play a game first.'),
  // TRANSLATORS: %1$s lists the files' names (progress.ini, achievements.ini and log.txt).
  saved: N_('Saved %1$s in quillvane-files.zip.'),
  // TRANSLATORS: (also the web page's lists of file names) the names before the last, joined.
  listSeparator: N_('%1$s, %2$s'),
  // TRANSLATORS: a list of file names: the last name (%2$s) after the others (%1$s).
  listLast: N_('%1$s and %2$s'),
  chooseFiles: N_('Choose progress.ini and achievements.ini, or the zip that Save my files made.'),
  // TRANSLATORS: %1$s is one of the reasons below.
  notLoaded: N_('Your files were not loaded: %1$s. Nothing was changed.'),
  damaged: N_('%1$s appears to have been damaged'),
  notZip: N_('it is not a zip file'),
  damagedZip: N_('the zip file is damaged'),
  unknownPacking: N_('the zip file uses a packing this page cannot read'),
  unreadable: N_('%1$s could not be read'),
  refusedToKeep: N_('The browser refused to keep your files. Nothing was changed.'),
  // TRANSLATORS: %1$s lists the files' names.
  loaded: N_('Loaded %1$s. Press Start Quillvane, then Continue.'),
};

// The catalog the page's texts are shown in: null for English.
let catalog = null;
let code = 'en';

// Shows the page's texts in a language from now on: its code (a catalog's
// folder name, "es", "de") and its catalog, a look-up of a text (null: English).
export function useCatalog(languageCode, languageCatalog) {
  code = languageCode;
  catalog = languageCatalog;
}

// The code of the language the page's texts are in.
export function textsLanguage() {
  return code;
}

// A text in the page's language: its translation, or the text itself.
function translated(text) {
  return catalog ? catalog.text(text) : text;
}

// A text of the table, in the page's language, with %1$s, %2$s ... filled in.
export function say(key, ...values) {
  const text = texts[key];
  if (text === undefined) throw new Error(`no page text named ${key}`);
  return fill(translated(text), values);
}

// A template with its numbered places filled in.
export function fill(template, values) {
  return template.replace(/%(\d+)\$s/g, (whole, n) => (n - 1 < values.length ? String(values[n - 1]) : whole));
}

// Names joined as a list: "a", "a and b", "a, b and c".
export function joined(names) {
  if (names.length < 2) return names.join('');
  const first = names.slice(0, -1).reduce((list, name) => say('listSeparator', list, name));
  return say('listLast', first, names.at(-1));
}

// The language of the page as a document's lang attribute ("es", "de-AT").
export function documentLanguage(languageCode) {
  return languageCode.replace('_', '-');
}

// Puts the table's texts into the page's elements, in the page's language,
// and names that language on the document.
export function applyTexts(document) {
  document.documentElement.lang = documentLanguage(code);
  document.title = say('title');
  for (const element of document.querySelectorAll('[data-text]'))
    element.textContent = say(element.dataset.text);
  for (const element of document.querySelectorAll('[data-text-label]'))
    element.setAttribute('aria-label', say(element.dataset.textLabel));
}
