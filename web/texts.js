// Every text the page itself shows or announces, in one table (the game's
// own lines come from the game). The page's elements name theirs with
// data-text (their content), data-text-label (aria-label) and
// data-text-description; applyTexts puts them in. Texts with {name} are
// filled in by say().
export const texts = {
  lang: 'en',
  title: 'Quillvane',
  heading: 'Quillvane',
  introduction: 'A puzzle game of discovery, played with the keyboard and heard through speech. ' +
    'Press Start Quillvane, then play with the keys: the game speaks through your screen reader. ' +
    'With no screen reader running, press Tab twice to hear the browser\'s own voice.',
  leaving: 'Shift+Tab leaves the game; Tab inside the game changes the speech output.',
  touchIntroduction: 'No keyboard? Once the game has started, the game controls after it are ' +
    'buttons for its keys.',
  start: 'Start Quillvane',
  application: 'Quillvane',
  gameArea: 'Quillvane game',
  gameAreaHelp: 'Every key goes to the game here, and each line it says is read to you. ' +
    'Shift+Tab leaves the game; Tab inside the game changes the speech output.',
  controls: 'Game controls',
  jump: 'Jump to letter',
  filesHeading: 'Your files',
  filesIntroduction: 'Your game is kept in this browser. To move it to or from the desktop ' +
    'edition, save your files here, or load the progress.ini and achievements.ini of its data folder.',
  save: 'Save my files',
  load: 'Load files',
  keep: 'Keep my game in this browser',
  back: 'Back to the game',

  // The touch controls, by the key each stands for (touch.js).
  nextItem: 'Next item',
  previousItem: 'Previous item',
  choose: 'Choose',
  combine: 'Combine',
  repeat: 'Repeat',
  undo: 'Undo',
  emptySlots: 'Empty slots',
  steps: 'Steps',
  knownRecipes: 'Known recipes',
  recipesICanMake: 'Recipes I can make',
  recipesUsingItem: 'Recipes using this item',
  recipesMakingItem: 'Recipes making this item',
  menu: 'Menu',
  earlierLine: 'Earlier line',
  laterLine: 'Later line',
  status: 'Status',
  speechOutput: 'Speech output',
  slower: 'Slower',
  faster: 'Faster',
  stopSpeech: 'Stop speech',
  sounds: 'Sounds',

  // The status line and the page's own announcements.
  loading: 'Loading the game…',
  stillLoading: 'The game is still loading. Try again in a moment.',
  notLoadedGame: 'The game could not be loaded: {error}',
  gameEnded: 'The game has ended. Reload the page to play again.',
  lockedOut: 'Quillvane is already running in another tab.',
  wontKeep: 'This browser will not keep your game.',
  noVoice: 'No browser voice: lines go to your screen reader.',
  persistGranted: 'This browser has agreed to keep your game.',
  persistRefused: 'This browser may clear your game if it runs short of space: use Save my files now and then.',
  newVersion: 'A new version of Quillvane is ready: reload the page to play it.',
  noFilesYet: 'There are no saved files yet: play a game first.',
  saved: 'Saved {names} in quillvane-files.zip.',
  listSeparator: ', ',
  listLastSeparator: ' and ',
  chooseFiles: 'Choose progress.ini and achievements.ini, or the zip that Save my files made.',
  notLoaded: 'Your files were not loaded: {reason}. Nothing was changed.',
  damaged: '{name} appears to have been damaged',
  notZip: 'it is not a zip file',
  damagedZip: 'the zip file is damaged',
  unknownPacking: 'the zip file uses a packing this page cannot read',
  unreadable: '{name} could not be read',
  refusedToKeep: 'The browser refused to keep your files. Nothing was changed.',
  loaded: 'Loaded {names}. Press Start Quillvane, then Continue.',
};

// A text of the table with its {name} parts filled in.
export function say(key, values = {}) {
  const text = texts[key];
  if (text === undefined) throw new Error(`no page text named ${key}`);
  return text.replace(/\{(\w+)\}/g, (whole, name) => (name in values ? String(values[name]) : whole));
}

// Names joined as a list: "a", "a and b", "a, b and c".
export function joined(names) {
  if (names.length < 2) return names.join('');
  return `${names.slice(0, -1).join(texts.listSeparator)}${texts.listLastSeparator}${names.at(-1)}`;
}

// Puts the table's texts into the page's elements.
export function applyTexts(document) {
  document.documentElement.lang = texts.lang;
  document.title = texts.title;
  for (const element of document.querySelectorAll('[data-text]'))
    element.textContent = say(element.dataset.text);
  for (const element of document.querySelectorAll('[data-text-label]'))
    element.setAttribute('aria-label', say(element.dataset.textLabel));
}
