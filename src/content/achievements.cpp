// The 243 achievement items by number, and the 31 collections with their
// members in the order partof tests them.
#include "content/content.h"
#include "lang/format.h"

namespace quillvane::content {

// TRANSLATORS: the game's items, heard as the player moves through the list
// and in every message. Give each item a name no other item has, short and
// clear when heard alone; the list is sorted by these names, and a letter key
// jumps to the next item whose name starts with it.
// clang-format off
constexpr std::array<const char*, kAchievementItems> kAchievementItemNames{{
    /*   1 */ NC_("item", "Dirt"), NC_("item", "Water"), NC_("item", "Mud"), NC_("item", "Grass"), NC_("item", "Pine cone"),
    /*   6 */ NC_("item", "Pine tree"), NC_("item", "Wind"), NC_("item", "Stick"), NC_("item", "Fire"), NC_("item", "Smoke"),
    /*  11 */ NC_("item", "Rock"), NC_("item", "Sand"), NC_("item", "Steam"), NC_("item", "Sea shells"), NC_("item", "Sunshine"),
    /*  16 */ NC_("item", "Clay"), NC_("item", "Ceramic slab"), NC_("item", "Rain"), NC_("item", "Hammer"), NC_("item", "Axe"),
    /*  21 */ NC_("item", "Log"), NC_("item", "Firewood"), NC_("item", "Brick"), NC_("item", "Ash"), NC_("item", "Charcoal"),
    /*  26 */ NC_("item", "Lye"), NC_("item", "Knife"), NC_("item", "Spear"), NC_("item", "Fish"), NC_("item", "Meat"),
    /*  31 */ NC_("item", "Fish bones"), NC_("item", "Saw"), NC_("item", "Bone meal"), NC_("item", "Pine needles"), NC_("item", "Cooked meat"),
    /*  36 */ NC_("item", "Heat"), NC_("item", "Kiln"), NC_("item", "Forge"), NC_("item", "Plank"), NC_("item", "Shovel"),
    /*  41 */ NC_("item", "Hole"), NC_("item", "Bog"), NC_("item", "Bog pit"), NC_("item", "Flowers"), NC_("item", "Darkness"),
    /*  46 */ NC_("item", "Crickets"), NC_("item", "Bees"), NC_("item", "Honey"), NC_("item", "Wax"), NC_("item", "Copper ore"),
    /*  51 */ NC_("item", "Iron ore"), NC_("item", "Clay bowl"), NC_("item", "Ceramic bowl"), NC_("item", "Pot of water"), NC_("item", "Boiling water"),
    /*  56 */ NC_("item", "Animal fat"), NC_("item", "Soap"), NC_("item", "Thunderstorm"), NC_("item", "Iron"), NC_("item", "Steel"),
    /*  61 */ NC_("item", "Rust"), NC_("item", "Lightning"), NC_("item", "Glass"), NC_("item", "Cave"), NC_("item", "Mountain"),
    /*  66 */ NC_("item", "River"), NC_("item", "Wheat"), NC_("item", "Sunflower"), NC_("item", "Flour"), NC_("item", "Pebbles"),
    /*  71 */ NC_("item", "Stream"), NC_("item", "Panned gold"), NC_("item", "Mushrooms"), NC_("item", "Dough"), NC_("item", "Oven"),
    /*  76 */ NC_("item", "Bread"), NC_("item", "Sunflower seeds"), NC_("item", "Sunflower oil"), NC_("item", "Wood tar"), NC_("item", "Straw"),
    /*  81 */ NC_("item", "Smoked meat"), NC_("item", "Cow"), NC_("item", "Cow hide"), NC_("item", "Leather"), NC_("item", "Milk"),
    /*  86 */ NC_("item", "Cheese"), NC_("item", "Wheel of cheese"), NC_("item", "Butter"), NC_("item", "Buttermilk"), NC_("item", "Ocean"),
    /*  91 */ NC_("item", "Pot of salt water"), NC_("item", "Sea salt"), NC_("item", "Salt"), NC_("item", "Salted butter"), NC_("item", "Limestone"),
    /*  96 */ NC_("item", "Lime"), NC_("item", "Cement"), NC_("item", "Concrete"), NC_("item", "Mortar"), NC_("item", "Lime plaster"),
    /* 101 */ NC_("item", "Apple"), NC_("item", "Apple tree"), NC_("item", "Sugar water"), NC_("item", "Apple cider"), NC_("item", "Glass bottle"),
    /* 106 */ NC_("item", "Alcohol"), NC_("item", "Vinegar"), NC_("item", "Casein"), NC_("item", "Wood glue"), NC_("item", "Wooden ring"),
    /* 111 */ NC_("item", "Spinning wheel"), NC_("item", "Bird nest"), NC_("item", "Bird"), NC_("item", "Feather"), NC_("item", "Arrow"),
    /* 116 */ NC_("item", "Bear"), NC_("item", "Bear skin"), NC_("item", "Fur"), NC_("item", "Yarn"), NC_("item", "Candle"),
    /* 121 */ NC_("item", "Light"), NC_("item", "Cloth"), NC_("item", "Sweater"), NC_("item", "Egg"), NC_("item", "Lava"),
    /* 126 */ NC_("item", "Volcano"), NC_("item", "Lava rock"), NC_("item", "Obsidian"), NC_("item", "Clay brick"), NC_("item", "Soft leather"),
    /* 131 */ NC_("item", "Hard leather"), NC_("item", "Anvil"), NC_("item", "Dull sword"), NC_("item", "Unpolished sword"), NC_("item", "Sword"),
    /* 136 */ NC_("item", "Sword with sheath"), NC_("item", "Baked brick"), NC_("item", "Brick wall"), NC_("item", "Pond"), NC_("item", "Frog"),
    /* 141 */ NC_("item", "Cordage"), NC_("item", "Bow"), NC_("item", "Quiver"), NC_("item", "Archery gear"), NC_("item", "Boots"),
    /* 146 */ NC_("item", "Castle tower"), NC_("item", "Moat"), NC_("item", "Drawbridge"), NC_("item", "Castle"), NC_("item", "Chandelier"),
    /* 151 */ NC_("item", "Gold band"), NC_("item", "Crude crown"), NC_("item", "Polished crown"), NC_("item", "Hardboiled egg"), NC_("item", "Egg shells"),
    /* 156 */ NC_("item", "Salted hardboiled egg"), NC_("item", "Manure"), NC_("item", "Cellar"), NC_("item", "Bed pan"), NC_("item", "Urine"),
    /* 161 */ NC_("item", "Iron rod"), NC_("item", "Sun dial"), NC_("item", "Time"), NC_("item", "Ammonia"), NC_("item", "Urea"),
    /* 166 */ NC_("item", "Hay"), NC_("item", "Straw bale"), NC_("item", "Mattress"), NC_("item", "Cold"), NC_("item", "Ice"),
    /* 171 */ NC_("item", "Snow"), NC_("item", "Mushroom stew"), NC_("item", "Boat"), NC_("item", "Sail"), NC_("item", "Sail boat"),
    /* 176 */ NC_("item", "Net"), NC_("item", "Fishing boat"), NC_("item", "Worm"), NC_("item", "Water wheel"), NC_("item", "Windmill vanes"),
    /* 181 */ NC_("item", "Watermill"), NC_("item", "Windmill"), NC_("item", "Power"), NC_("item", "Well"), NC_("item", "Outhouse"),
    /* 186 */ NC_("item", "Thatch"), NC_("item", "Wattle and daub"), NC_("item", "Wattle and daub house"), NC_("item", "Cottage"), NC_("item", "Calf"),
    /* 191 */ NC_("item", "Pig"), NC_("item", "Pork"), NC_("item", "Salted pork"), NC_("item", "Sausage"), NC_("item", "Copper"),
    /* 196 */ NC_("item", "Copper wire"), NC_("item", "Electrode"), NC_("item", "Wet cell battery"), NC_("item", "Village"), NC_("item", "Town"),
    /* 201 */ NC_("item", "Piglet"), NC_("item", "Seed"), NC_("item", "Chicken"), NC_("item", "Chicken egg"), NC_("item", "Mirror"),
    /* 206 */ NC_("item", "Obsidian jewel"), NC_("item", "Farmland"), NC_("item", "Hoe"), NC_("item", "Wasteland"), NC_("item", "Sugar beet"),
    /* 211 */ NC_("item", "Bat"), NC_("item", "Guano"), NC_("item", "Saltpeter"), NC_("item", "Niter bed"), NC_("item", "Black powder"),
    /* 216 */ NC_("item", "Cannon"), NC_("item", "Skis"), NC_("item", "Inn"), NC_("item", "Bacon grease"), NC_("item", "Suckling pig"),
    /* 221 */ NC_("item", "Gold coins"), NC_("item", "Pirate ship"), NC_("item", "Foundry"), NC_("item", "Merchant ship"), NC_("item", "Bell"),
    /* 226 */ NC_("item", "Church"), NC_("item", "Lantern"), NC_("item", "Mineshaft"), NC_("item", "Buttermilk pancakes"), NC_("item", "Snow shovel"),
    /* 231 */ NC_("item", "Buttered bread"), NC_("item", "Methane"), NC_("item", "Stocked cellar"), NC_("item", "Kingdom"), NC_("item", "Barn"),
    /* 236 */ NC_("item", "Statue"), NC_("item", "Road"), NC_("item", "Tsunami"), NC_("item", "Earthquake"), NC_("item", "Volcanic eruption"),
    /* 241 */ NC_("item", "Hurricane"), NC_("item", "Phosphorus"), NC_("item", "Matches"),
}};

// Collection 1 lists no members of its own: it holds every item no other
// collection lists. Its members are kept here only to check the tables.
constexpr std::array<Collection, kCollections> kCollectionTable{{
    // TRANSLATORS: a collection's name, heard alone in the achievements menu
    // and in "You have discovered %1$s, which is part of the %2$s!".
    {NC_("collection", "General collection"), 27, {"Dirt", "Water", "Mud", "Grass", "Stick", "Smoke", "Rock", "Sand", "Steam", "Sea shells", "Log", "Ash", "Lye", "Bone meal", "Pine needles", "Hole", "Rust", "Lime", "Casein", "Bird nest", "Feather", "Ammonia", "Urea", "Hay", "Saltpeter", "Niter bed", "Phosphorus"}},
    {NC_("collection", "Nature collection"), 18, {"Wind", "Rain", "Sunshine", "Bog", "Cave", "Mountain", "Stream", "Thunderstorm", "River", "Wasteland", "Ocean", "Pond", "Volcano", "Lightning", "Bog pit", "Pebbles", "Lava rock", "Obsidian"}},
    {NC_("collection", "It comes out collection"), 4, {"Methane", "Manure", "Urine", "Guano"}},
    {NC_("collection", "Disaster collection"), 4, {"Tsunami", "Earthquake", "Volcanic eruption", "Hurricane"}},
    {NC_("collection", "Tools collection"), 9, {"Hammer", "Axe", "Knife", "Saw", "Shovel", "Spinning wheel", "Hoe", "Snow shovel", "Net"}},
    {NC_("collection", "Clayworks collection"), 5, {"Clay", "Ceramic slab", "Clay bowl", "Ceramic bowl", "Clay brick"}},
    {NC_("collection", "Metal collection"), 10, {"Copper ore", "Iron ore", "Iron", "Steel", "Panned gold", "Copper", "Copper wire", "Gold band", "Iron rod", "Gold coins"}},
    {NC_("collection", "Fire collection"), 6, {"Fire", "Charcoal", "Matches", "Candle", "Lava", "Lantern"}},
    {NC_("collection", "Animal collection"), 10, {"Fish", "Cow", "Pig", "Chicken", "Bird", "Bat", "Bear", "Frog", "Calf", "Piglet"}},
    {NC_("collection", "Bug collection"), 3, {"Crickets", "Bees", "Worm"}},
    {NC_("collection", "Masonry collection"), 7, {"Brick", "Cement", "Concrete", "Mortar", "Lime plaster", "Baked brick", "Limestone"}},
    {NC_("collection", "Builder collection"), 5, {"Thatch", "Wattle and daub", "Wood glue", "Wooden ring", "Plank"}},
    {NC_("collection", "Plants collection"), 7, {"Wheat", "Sunflower", "Mushrooms", "Pine tree", "Flowers", "Apple tree", "Sugar beet"}},
    {NC_("collection", "Craftsman collection"), 4, {"Kiln", "Forge", "Anvil", "Foundry"}},
    {NC_("collection", "Food collection"), 18, {"Meat", "Buttermilk", "Egg", "Cooked meat", "Bread", "Honey", "Milk", "Cheese", "Butter", "Apple", "Apple cider", "Suckling pig", "Buttermilk pancakes", "Hardboiled egg", "Salted hardboiled egg", "Buttered bread", "Mushroom stew", "Pork"}},
    {NC_("collection", "Military collection"), 4, {"Dull sword", "Unpolished sword", "Sword", "Sword with sheath"}},
    {NC_("collection", "Peasant collection"), 15, {"Cellar", "Bed pan", "Straw bale", "Straw", "Well", "Outhouse", "Cottage", "Farmland", "Barn", "Watermill", "Windmill", "Mineshaft", "Chicken egg", "Windmill vanes", "Water wheel"}},
    {NC_("collection", "Citizen collection"), 11, {"Mattress", "Wattle and daub house", "Village", "Town", "Mirror", "Inn", "Church", "Road", "Soap", "Sun dial", "Bell"}},
    {NC_("collection", "Royal collection"), 11, {"Brick wall", "Castle tower", "Moat", "Drawbridge", "Castle", "Chandelier", "Polished crown", "Obsidian jewel", "Kingdom", "Statue", "Crude crown"}},
    {NC_("collection", "Nautical collection"), 6, {"Boat", "Sail boat", "Fishing boat", "Cannon", "Pirate ship", "Merchant ship"}},
    {NC_("collection", "Winter collection"), 3, {"Skis", "Ice", "Snow"}},
    {NC_("collection", "Winter preparation collection"), 9, {"Smoked meat", "Wheel of cheese", "Salted butter", "Alcohol", "Fur", "Sweater", "Sausage", "Stocked cellar", "Salted pork"}},
    {NC_("collection", "Seeds collection"), 3, {"Pine cone", "Sunflower seeds", "Seed"}},
    {NC_("collection", "Forces collection"), 6, {"Light", "Heat", "Cold", "Darkness", "Time", "Power"}},
    {NC_("collection", "Hunter collection"), 8, {"Bear skin", "Fish bones", "Spear", "Cow hide", "Arrow", "Bow", "Quiver", "Archery gear"}},
    {NC_("collection", "Cooking/Baking collection"), 13, {"Oven", "Flour", "Boiling water", "Firewood", "Pot of water", "Animal fat", "Dough", "Pot of salt water", "Sea salt", "Salt", "Sugar water", "Vinegar", "Egg shells"}},
    {NC_("collection", "Leatherworker collection"), 5, {"Soft leather", "Hard leather", "Cordage", "Leather", "Boots"}},
    {NC_("collection", "Slimy/Sticky collection"), 4, {"Wood tar", "Bacon grease", "Sunflower oil", "Wax"}},
    {NC_("collection", "Invention collection"), 3, {"Electrode", "Wet cell battery", "Black powder"}},
    {NC_("collection", "Tailor collection"), 3, {"Yarn", "Cloth", "Sail"}},
    {NC_("collection", "Glassblower collection"), 2, {"Glass", "Glass bottle"}},
}};
// clang-format on

}  // namespace quillvane::content
