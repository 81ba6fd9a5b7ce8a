// Form1: the whole game. One object owns every field of the game state under
// its own name, and its member functions are the game's procedures. Each
// subsystem's folder defines its own group of members.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace quillvane {

// Thrown to end the program ("Exit the game", a damaged file, the window
// closed). run_game catches it; the front-end then releases everything and
// the program exits with 0.
struct ProgramEnd {};

constexpr int kListSize = 10000;      // every list: entries 0..9999, 1..count used
constexpr int kLastEntry = 9999;      // the largest usable index
constexpr int kCollectionSlots = 51;  // collection arrays: 0..50
constexpr int kLevels = 4;            // difficulty 0 insane .. 3 easy

using StringList = std::array<std::string, kListSize>;
using NumberList = std::array<std::int32_t, kListSize>;
using LevelTable = std::array<NumberList, kLevels>;

class Form1 {
 public:
  explicit Form1(Platform& platform);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // ---------------- Game state and start-up ----------------
  void Form_Load();

  // Inventory
  StringList items{};
  int itemcount = 0;
  int selected = 0;
  int slot1 = 0;
  int slot2 = 0;

  // Recipes and the current game
  StringList ruleuses1{}, ruleuses2{}, rulemakes1{}, rulemakes2{};
  NumberList ruleknown{};
  int rulecount = 0;
  int steps = 0;
  int difficulty = 0;
  std::string undomade1, undomade2, undoused1, undoused2;
  int cheatmode = 0;

  // Achievements and collections
  int achievementcount = 0;
  StringList achievementitems{};
  StringList achievementcollection{};
  LevelTable unlocked{};
  LevelTable records{};
  int collectioncount = 0;
  std::array<std::string, kCollectionSlots> collectionnames{};
  std::array<int, kCollectionSlots> collectionsizes{};

  // Menus and input
  int menu = 1;
  int menuitem = 0;
  int parentmenu = 0;
  // The ordered list of lines the spoken lists and the details list show.
  std::vector<std::string> List2;
  // For a recipe list, the recipe row behind each line of List2 (0 for the
  // Magic line), so that a chosen line needs no search by its text.
  std::vector<int> list2rows_;

  // Speech output
  int speechmode = 0;
  Voice* voice = nullptr;
  int sapirate = 7;
  int sapivolume = 100;
  ScreenReader* jaws = nullptr;
  int jawsstatus = 0;
  int sendingkeys = 0;

  // Program
  std::string version;

  // The cue volume in percent (100, 75, 50, 25 or 0), kept in settings.ini.
  int cuevolume = 100;
  // settings.ini's second line, kept as it was read: 1 when the player's
  // braille display is to show every line (--braille), else off.
  int braillesetting = 0;

  // ---------------- The player's language ----------------
  // Every line is said and shown in the player's language; the game's own
  // names (items, collections) stay English in memory, in the files and in
  // the log, and are translated only where they are heard or shown.
  const lang::Catalog& language() const { return platform_.language(); }
  // The translation of an English text (the text itself in English).
  std::string tr(std::string_view msgid) const;
  // The form for n of a text with a plural (English: singular for 1).
  std::string trn(std::string_view singular, std::string_view plural, long n) const;
  // An item's name as the player hears it: its translation, or for a name
  // no catalog knows (a custom item) the name itself in UTF-8. In English,
  // the name as it stands.
  std::string heard(const std::string& name) const;
  std::string heardcollection(const std::string& name) const;
  // The code settings.ini keeps for the language ("" for none).
  std::string keptlanguage;

  // ---------------- Inventory ----------------
  void newitem(const std::string& tempm);
  void deleteitem(int temp);
  int howmany(const std::string& tempm) const;
  void sortitems();
  void drawitems();
  // The selected item's name; "" when the selection names no entry in use
  // (an empty cheat inventory).
  std::string selectedname() const;

  // ---------------- Recipe book ----------------
  void newrule(const std::string& tempm, const std::string& tempm2, const std::string& tempm3,
               const std::string& tempm4);
  void loadrules();
  int rulesdiscovered() const;

  // ---------------- Combining ----------------
  void combine();
  // The undo of the last combination (Shift+Backspace on the game screen).
  void undo();
  // Removes the first entry named first and the first other entry named
  // second; false (nothing removed) when either is missing.
  bool takepair(const std::string& first, const std::string& second);

  // ---------------- Starting gear and new game ----------------
  void startinggear();
  // What every way into a game does first: the starting gear of a level,
  // sorted, the cursor on the first item, empty slots, no steps, the recipe
  // book and achievements loaded afresh. Each caller draws the list once its
  // game is in place.
  void preparegame(int level);
  void newgame(int level, const std::string& message);
  void continuegame();

  // ---------------- Collections and achievements ----------------
  std::string partof(std::string tempm);
  std::string collectionline(int k) const;
  // The first steps of loadachievements: the item and collection tables,
  // with every achievement locked and every record -1.
  void buildachievementtables();
  void loadachievements();
  int isthisnew(std::string tempm);
  void saveachievements();
  int myachievements() const;
  void achievementdetails(int k);
  std::string achievementsummary() const;
  void mylegacy();

  // ---------------- Recipe queries ----------------
  std::string recipeline(int r) const;
  // Every recipe list begins empty, or with Magic's line while Magic is held.
  void startrecipelist();
  // Adds the recipe line of row r to the list, with its row.
  void addrecipeline(int r);
  void allknown();
  void allcando();
  void usesselected();
  void makesselected();
  void recipelistcommand(int key);

  // ---------------- Keyboard and menus ----------------
  // Selects entry, shows the list and says "Name, you have N."
  void select_and_say(int entry);
  // Opens a menu (or the game screen) with no entry chosen yet; Escape
  // goes back to parent.
  void openmenu(int which, int parent);
  // "Goodbye", half a second for it to be heard, and the program's end.
  [[noreturn]] void goodbye();

  // ---------------- Comforts ----------------
  // Keys beyond the game's own, in every menu and during waits: Home says
  // the last line again, Page Up and Page Down step through the last 100
  // lines, End says where the player is, F12 steps the cue volume, and Ctrl
  // alone silences the voice. True when keycode was one of them.
  bool comfortkey(int keycode);
  static bool iscomfortkey(int keycode);
  // Where the player is, in one line (the End key).
  std::string statusline() const;
  // The open menu and its current entry; empty on the game screen.
  std::string placeline() const;
  // The current menu's entry number entry, as the menu says it.
  std::string menulabel(int entry) const;
  // The number of the current menu's last entry; 0 on the game screen.
  int menulast() const;
  // Tells the window where the player is and what was said last.
  void showcontext();
  // settings.ini: the cue volume, the braille line and the language kept.
  // Missing or damaged means the defaults.
  void loadsettings();
  void savesettings();

  // ---------------- Speech and sound ----------------
  void sayit(std::string tempm);
  void loadjaws();
  void hold(double seconds);
  void makesound(const std::string& tempm);
  // Plays the cue whose literal is appended to the program's folder.
  void playcue(const std::string& literal);
  // Sets the window title (the front-end's one title hook).
  void settitle(const std::string& text);
  // Every change of speech mode: out-of-range modes become the voice, and
  // so does JAWS' mode without a JAWS object (said aloud); the front-end is
  // told the settled mode once, and the title comes back where it shows.
  void setspeechmode(int mode);
  std::string programtitle() const;

  // ---------------- Persistence ----------------
  void saveprogress();
  void loadprogress();
  void cheat();
  void logit(const std::string& tempm);
  // Says "This progress file appears to have been damaged.  Exiting the
  // game.", waits 5 seconds and ends the program.
  [[noreturn]] void damagedfile();
  // Says "Your saved game could not be read." (and reports it on standard
  // error), waits 5 seconds and ends the program: a file that exists but
  // cannot be read is not called damaged, and nothing is written over it.
  [[noreturn]] void unreadablefile();
  // Ends the program at once: unwinds to the front-end's loop.
  [[noreturn]] void endprogram();
  std::string datapath(const std::string& name);

  // Seeds the random source (start-up seeds it from the time of day).
  void seedrandom(std::uint64_t seed) { random_state_ = seed; }
  // A random whole number r from 10 to 99 for a file's checksum.
  int checksumrandom();

  // ---------------- Events ----------------
  // One event taken from the platform: a key or a touch on the list (held
  // back or handled at once while an action runs), a repaint, the player's
  // quit, a hurry. The game's only door for events.
  void handle(const Event& event);

 private:
  void Form_Paint();
  void holder_Timer();
  void key_event(int keycode, int shift, char32_t character);
  void select_event(int entry);
  void close_event();
  void hurry_event();
  // Serves the events already pending, without waiting (the yield inside
  // sayit).
  void serve_pending();

  // The key dispatcher: each handler takes its keys (true) or passes the
  // key on (false).
  // typed: the character the key typed, where the front-end knows it.
  void Form_KeyDown(int KeyCode, int Shift, char32_t typed = 0);
  bool speech_output_key(int keycode);    // Tab
  bool rate_key(int keycode);             // plus and minus
  bool menu_key(int keycode);             // Escape on the game screen, every key in a menu
  bool slot_key(int keycode, int shift);  // Enter, Shift+Enter, Delete, Backspace
  bool list_key(int keycode);             // 1 to 5
  bool arrow_key(int keycode);
  void letter_jump(int keycode, char32_t typed);
  void fill_slot();      // Enter: the selection into the next empty slot
  void combine_slots();  // Shift+Enter
  // A touch on the list's line for entry: on the game screen it selects
  // that entry and says it, as the arrows do; in a menu, or on a line with
  // no entry in use (out of range, an empty name), nothing happens.
  void select_entry(int entry);

  // The menu system: the cursor and Escape, then Enter in each menu.
  void menustuff(int keycode);
  // Escape leaves the open menu for its parent; true when that ends the key.
  bool escape_menu();
  void main_menu_choice(int entry);
  void difficulty_menu_choice(int entry);
  void achievements_menu_choice(int entry);
  void help_menu_choice(int entry);
  void recipe_list_choice(int entry);
  void game_menu_choice(int entry);

  // Runs a key or a touch as a whole action when the game is idle; while an
  // action runs, at once when it only moves or speaks, else held back.
  void run_or_hold(const Event& event);
  // Handles one key or touch as a whole action, then any held back meanwhile.
  void run_action(const Event& event);
  // The key dispatcher or the list's selection, for one event.
  void act(const Event& event);
  // Whether a key or touch arriving mid-action only moves the cursor or speaks.
  bool safe_during_action(const Event& event) const;
  // Says once per run that a save failed, after the move's own messages.
  void report_save_failure();

  Platform& platform_;

  // The holder timer: the moment its wait ends, while one runs. Every hold
  // sets it anew; its tick (holder_Timer) clears it, ending every wait.
  std::optional<double> holder_deadline_;

  std::uint64_t random_state_ = 0;
  int action_depth_ = 0;
  std::deque<Event> held_events_;
  // The last lines said, oldest first, and the line Page Up and Page Down
  // have reached; a repeated line is not remembered again.
  std::deque<std::string> history_;
  std::size_t history_cursor_ = 0;
  bool repeating_ = false;
  void sayagain(std::size_t index);

  // Set by a quit that arrived while an action was running.
  bool quitting_ = false;
  // Set by a hurry (the page being hidden) while an action was running;
  // cleared once that action and the keys held back behind it are done.
  bool hurrying_ = false;
  // Whether the action in progress skips its waits, speech and cues.
  bool skipping() const { return quitting_ || hurrying_; }
  bool save_failed_ = false;
  bool told_save_failed_ = false;
};

}  // namespace quillvane
