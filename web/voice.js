// The browser's voice (speech mode 0). A browser with no voice (no
// speechSynthesis, or still no voices a second after Start) sends mode 0's
// lines to the log of lines as well, as the desktop puts them in its title
// when its voice is missing, and says so once; the saved speech mode stays.
// Until that is known, mode 0's lines wait, and the voice keeps only the
// newest (each line it says cuts off the one before anyway). The voice
// speaks the game's language: a voice of the browser whose lang matches,
// else the browser's default voice, after saying once, in the language,
// that there is none.
import { say, documentLanguage } from './texts.js';
import { voiceSpeaks } from './language.js';

export class BrowserVoice {
  // lines: the log of lines (say); speech: window.speechSynthesis or undefined.
  constructor(lines, speech) {
    this.lines = lines;
    this.speech = speech;
    this.state = 'unknown';  // until a second after Start: then 'present' or 'none'
    this.linesBefore = [];
    this.utteranceBefore = null;
    this.told = false;
    this.code = 'en';         // the game's language
    this.notice = '';         // said once where the browser has no voice for it
    this.noticeSaid = false;
  }

  // The game asks for a voice of its language (a catalog's code), with the
  // line that says, in it, that the browser has none.
  language(code, notice) {
    this.code = code;
    this.notice = notice;
    this.noticeSaid = false;
  }

  // The browser's voice for the game's language: undefined while the
  // browser lists no voices (it chooses), null when none of them speaks it.
  voiceForLanguage() {
    const voices = this.speech.getVoices();
    if (!voices.length) return undefined;
    const speaking = voices.filter((voice) => voiceSpeaks(voice.lang, this.code));
    return speaking.find((voice) => voice.default) || speaking[0] || null;
  }

  utterance(text, rate, volume, voice) {
    const utterance = new SpeechSynthesisUtterance(text);
    utterance.rate = rate;
    utterance.volume = volume;
    utterance.lang = documentLanguage(this.code);
    try {
      if (voice) utterance.voice = voice;
    } catch (error) { /* the browser chooses */ }
    return utterance;
  }

  present() {
    return Boolean(this.speech);
  }

  // Start was pressed: the voices are looked for.
  watch() {
    if (!this.speech) return this.settle(false);
    const found = () => this.speech.getVoices().length > 0;
    if (found()) return this.settle(true);
    this.speech.addEventListener('voiceschanged', () => { if (found()) this.settle(true); });
    setTimeout(() => this.settle(found()), 1000);
  }

  settle(present) {
    if (this.state !== 'unknown') return;
    this.state = present ? 'present' : 'none';
    for (const text of this.linesBefore.splice(0)) this.line(text);
    if (this.utteranceBefore) this.speak(...this.utteranceBefore);
    this.utteranceBefore = null;
  }

  // Every line said in mode 0, before the voice is given it.
  line(text) {
    if (this.state === 'unknown') return this.linesBefore.push(text);
    if (this.state === 'present') return undefined;
    this.lines.say(text);
    if (!this.told) this.lines.say(say('noVoice'));
    this.told = true;
    return undefined;
  }

  speak(text, rate, volume) {
    if (this.state === 'unknown') this.utteranceBefore = [text, rate, volume];
    if (this.state !== 'present') return;
    try {
      this.speech.cancel();
      const voice = this.voiceForLanguage();
      if (voice === null && this.notice && !this.noticeSaid) {
        this.noticeSaid = true;
        this.speech.speak(this.utterance(this.notice, rate, volume, null));
      }
      this.speech.speak(this.utterance(text, rate, volume, voice));
    } catch (error) {
      console.warn('speech failed', error);
    }
  }

  // Ctrl alone: what the browser's voice is saying stops.
  stop() {
    this.utteranceBefore = null;
    try {
      if (this.speech) this.speech.cancel();
    } catch (error) { /* no voice */ }
  }
}
