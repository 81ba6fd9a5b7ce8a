// The 243 achievement items by number, and the 31 collections with their
// members in the order partof tests them.
#include "content/content.h"

namespace quillvane::content {

// clang-format off
constexpr std::array<const char*, kAchievementItems> kAchievementItemNames{{
    /*   1 */ "Dirt", "Water", "Mud", "Grass", "Pine cone", "Pine tree", "Wind", "Stick", "Fire", "Smoke",
    /*  11 */ "Rock", "Sand", "Steam", "Sea shells", "Sunshine", "Clay", "Ceramic slab", "Rain", "Hammer", "Axe",
    /*  21 */ "Log", "Firewood", "Brick", "Ash", "Charcoal", "Lye", "Knife", "Spear", "Fish", "Meat",
    /*  31 */ "Fish bones", "Saw", "Bone meal", "Pine needles", "Cooked meat", "Heat", "Kiln", "Forge", "Plank", "Shovel",
    /*  41 */ "Hole", "Bog", "Bog pit", "Flowers", "Darkness", "Crickets", "Bees", "Honey", "Wax", "Copper ore",
    /*  51 */ "Iron ore", "Clay bowl", "Ceramic bowl", "Pot of water", "Boiling water", "Animal fat", "Soap", "Thunderstorm", "Iron", "Steel",
    /*  61 */ "Rust", "Lightning", "Glass", "Cave", "Mountain", "River", "Wheat", "Sunflower", "Flour", "Pebbles",
    /*  71 */ "Stream", "Panned gold", "Mushrooms", "Dough", "Oven", "Bread", "Sunflower seeds", "Sunflower oil", "Wood tar", "Straw",
    /*  81 */ "Smoked meat", "Cow", "Cow hide", "Leather", "Milk", "Cheese", "Wheel of cheese", "Butter", "Buttermilk", "Ocean",
    /*  91 */ "Pot of salt water", "Sea salt", "Salt", "Salted butter", "Limestone", "Lime", "Cement", "Concrete", "Mortar", "Lime plaster",
    /* 101 */ "Apple", "Apple tree", "Sugar water", "Apple cider", "Glass bottle", "Alcohol", "Vinegar", "Casein", "Wood glue", "Wooden ring",
    /* 111 */ "Spinning wheel", "Bird nest", "Bird", "Feather", "Arrow", "Bear", "Bear skin", "Fur", "Yarn", "Candle",
    /* 121 */ "Light", "Cloth", "Sweater", "Egg", "Lava", "Volcano", "Lava rock", "Obsidian", "Clay brick", "Soft leather",
    /* 131 */ "Hard leather", "Anvil", "Dull sword", "Unpolished sword", "Sword", "Sword with sheath", "Baked brick", "Brick wall", "Pond", "Frog",
    /* 141 */ "Cordage", "Bow", "Quiver", "Archery gear", "Boots", "Castle tower", "Moat", "Drawbridge", "Castle", "Chandelier",
    /* 151 */ "Gold band", "Crude crown", "Polished crown", "Hardboiled egg", "Egg shells", "Salted hardboiled egg", "Manure", "Cellar", "Bed pan", "Urine",
    /* 161 */ "Iron rod", "Sun dial", "Time", "Ammonia", "Urea", "Hay", "Straw bale", "Mattress", "Cold", "Ice",
    /* 171 */ "Snow", "Mushroom stew", "Boat", "Sail", "Sail boat", "Net", "Fishing boat", "Worm", "Water wheel", "Windmill vanes",
    /* 181 */ "Watermill", "Windmill", "Power", "Well", "Outhouse", "Thatch", "Wattle and daub", "Wattle and daub house", "Cottage", "Calf",
    /* 191 */ "Pig", "Pork", "Salted pork", "Sausage", "Copper", "Copper wire", "Electrode", "Wet cell battery", "Village", "Town",
    /* 201 */ "Piglet", "Seed", "Chicken", "Chicken egg", "Mirror", "Obsidian jewel", "Farmland", "Hoe", "Wasteland", "Sugar beet",
    /* 211 */ "Bat", "Guano", "Saltpeter", "Niter bed", "Black powder", "Cannon", "Skis", "Inn", "Bacon grease", "Suckling pig",
    /* 221 */ "Gold coins", "Pirate ship", "Foundry", "Merchant ship", "Bell", "Church", "Lantern", "Mineshaft", "Buttermilk pancakes", "Snow shovel",
    /* 231 */ "Buttered bread", "Methane", "Stocked cellar", "Kingdom", "Barn", "Statue", "Road", "Tsunami", "Earthquake", "Volcanic eruption",
    /* 241 */ "Hurricane", "Phosphorus", "Matches",
}};

// Collection 1 lists no members of its own: it holds every item no other
// collection lists. Its members are kept here only to check the tables.
constexpr std::array<Collection, kCollections> kCollectionTable{{
    {"General collection", 27, {"Dirt", "Water", "Mud", "Grass", "Stick", "Smoke", "Rock", "Sand", "Steam", "Sea shells", "Log", "Ash", "Lye", "Bone meal", "Pine needles", "Hole", "Rust", "Lime", "Casein", "Bird nest", "Feather", "Ammonia", "Urea", "Hay", "Saltpeter", "Niter bed", "Phosphorus"}},
    {"Nature collection", 18, {"Wind", "Rain", "Sunshine", "Bog", "Cave", "Mountain", "Stream", "Thunderstorm", "River", "Wasteland", "Ocean", "Pond", "Volcano", "Lightning", "Bog pit", "Pebbles", "Lava rock", "Obsidian"}},
    {"It comes out collection", 4, {"Methane", "Manure", "Urine", "Guano"}},
    {"Disaster collection", 4, {"Tsunami", "Earthquake", "Volcanic eruption", "Hurricane"}},
    {"Tools collection", 9, {"Hammer", "Axe", "Knife", "Saw", "Shovel", "Spinning wheel", "Hoe", "Snow shovel", "Net"}},
    {"Clayworks collection", 5, {"Clay", "Ceramic slab", "Clay bowl", "Ceramic bowl", "Clay brick"}},
    {"Metal collection", 10, {"Copper ore", "Iron ore", "Iron", "Steel", "Panned gold", "Copper", "Copper wire", "Gold band", "Iron rod", "Gold coins"}},
    {"Fire collection", 6, {"Fire", "Charcoal", "Matches", "Candle", "Lava", "Lantern"}},
    {"Animal collection", 10, {"Fish", "Cow", "Pig", "Chicken", "Bird", "Bat", "Bear", "Frog", "Calf", "Piglet"}},
    {"Bug collection", 3, {"Crickets", "Bees", "Worm"}},
    {"Masonry collection", 7, {"Brick", "Cement", "Concrete", "Mortar", "Lime plaster", "Baked brick", "Limestone"}},
    {"Builder collection", 5, {"Thatch", "Wattle and daub", "Wood glue", "Wooden ring", "Plank"}},
    {"Plants collection", 7, {"Wheat", "Sunflower", "Mushrooms", "Pine tree", "Flowers", "Apple tree", "Sugar beet"}},
    {"Craftsman collection", 4, {"Kiln", "Forge", "Anvil", "Foundry"}},
    {"Food collection", 18, {"Meat", "Buttermilk", "Egg", "Cooked meat", "Bread", "Honey", "Milk", "Cheese", "Butter", "Apple", "Apple cider", "Suckling pig", "Buttermilk pancakes", "Hardboiled egg", "Salted hardboiled egg", "Buttered bread", "Mushroom stew", "Pork"}},
    {"Military collection", 4, {"Dull sword", "Unpolished sword", "Sword", "Sword with sheath"}},
    {"Peasant collection", 15, {"Cellar", "Bed pan", "Straw bale", "Straw", "Well", "Outhouse", "Cottage", "Farmland", "Barn", "Watermill", "Windmill", "Mineshaft", "Chicken egg", "Windmill vanes", "Water wheel"}},
    {"Citizen collection", 11, {"Mattress", "Wattle and daub house", "Village", "Town", "Mirror", "Inn", "Church", "Road", "Soap", "Sun dial", "Bell"}},
    {"Royal collection", 11, {"Brick wall", "Castle tower", "Moat", "Drawbridge", "Castle", "Chandelier", "Polished crown", "Obsidian jewel", "Kingdom", "Statue", "Crude crown"}},
    {"Nautical collection", 6, {"Boat", "Sail boat", "Fishing boat", "Cannon", "Pirate ship", "Merchant ship"}},
    {"Winter collection", 3, {"Skis", "Ice", "Snow"}},
    {"Winter preparation collection", 9, {"Smoked meat", "Wheel of cheese", "Salted butter", "Alcohol", "Fur", "Sweater", "Sausage", "Stocked cellar", "Salted pork"}},
    {"Seeds collection", 3, {"Pine cone", "Sunflower seeds", "Seed"}},
    {"Forces collection", 6, {"Light", "Heat", "Cold", "Darkness", "Time", "Power"}},
    {"Hunter collection", 8, {"Bear skin", "Fish bones", "Spear", "Cow hide", "Arrow", "Bow", "Quiver", "Archery gear"}},
    {"Cooking/Baking collection", 13, {"Oven", "Flour", "Boiling water", "Firewood", "Pot of water", "Animal fat", "Dough", "Pot of salt water", "Sea salt", "Salt", "Sugar water", "Vinegar", "Egg shells"}},
    {"Leatherworker collection", 5, {"Soft leather", "Hard leather", "Cordage", "Leather", "Boots"}},
    {"Slimy/Sticky collection", 4, {"Wood tar", "Bacon grease", "Sunflower oil", "Wax"}},
    {"Invention collection", 3, {"Electrode", "Wet cell battery", "Black powder"}},
    {"Tailor collection", 3, {"Yarn", "Cloth", "Sail"}},
    {"Glassblower collection", 2, {"Glass", "Glass bottle"}},
}};
// clang-format on

}  // namespace quillvane::content
