// The recipe table: 290 rows, each two ingredients then two products, in the
// order the recipe book is built from. Each pair is stored sorted by newrule.
#include "content/content.h"

namespace quillvane::content {

// clang-format off
constexpr std::array<RecipeRow, kRecipeRows> kRecipes{{
    {"Dirt", "Water", "Mud", "Mud"},  // 1
    {"Grass", "Pine cone", "Grass", "Pine tree"},  // 2
    {"Pine tree", "Wind", "Stick", "Pine tree"},  // 3
    {"Stick", "Stick", "Fire", "Smoke"},  // 4
    {"Rock", "Wind", "Sand", "Wind"},  // 5
    {"Fire", "Water", "Steam", "Water"},  // 6
    {"Rock", "Sea shells", "Rock", "Sand"},  // 7
    {"Fire", "Grass", "Dirt", "Fire"},  // 8
    {"Mud", "Sunshine", "Clay", "Sunshine"},  // 9
    {"Clay", "Fire", "Fire", "Ceramic slab"},  // 10
    {"Dirt", "Sunshine", "Grass", "Sunshine"},  // 11
    {"Steam", "Wind", "Rain", "Wind"},  // 12
    {"Dirt", "Rain", "Grass", "Water"},  // 13
    {"Rain", "Pine tree", "Pine cone", "Pine tree"},  // 14
    {"Rock", "Stick", "Dirt", "Hammer"},  // 15
    {"Hammer", "Ceramic slab", "Axe", "Dirt"},  // 16
    {"Axe", "Pine tree", "Axe", "Log"},  // 17
    {"Axe", "Log", "Axe", "Firewood"},  // 18
    {"Axe", "Rock", "Brick", "Hammer"},  // 19
    {"Fire", "Stick", "Fire", "Fire"},  // 20
    {"Fire", "Firewood", "Ash", "Charcoal"},  // 21
    {"Ash", "Water", "Lye", "Lye"},  // 22
    {"Ceramic slab", "Rock", "Knife", "Rock"},  // 23
    {"Knife", "Stick", "Knife", "Spear"},  // 24
    {"Spear", "Water", "Fish", "Spear"},  // 25
    {"Fish", "Knife", "Knife", "Meat"},  // 26
    {"Fish", "Lye", "Dirt", "Fish bones"},  // 27
    {"Fish bones", "Ceramic slab", "Ceramic slab", "Saw"},  // 28
    {"Fish bones", "Rock", "Bone meal", "Rock"},  // 29
    {"Dirt", "Pine tree", "Pine tree", "Pine needles"},  // 30
    {"Fire", "Pine needles", "Fire", "Smoke"},  // 31
    {"Fire", "Meat", "Cooked meat", "Fire"},  // 32
    {"Charcoal", "Fire", "Heat", "Kiln"},  // 33
    {"Kiln", "Rock", "Dirt", "Forge"},  // 34
    {"Log", "Saw", "Plank", "Saw"},  // 35
    {"Plank", "Stick", "Dirt", "Shovel"},  // 36
    {"Dirt", "Shovel", "Hole", "Shovel"},  // 37
    {"Charcoal", "Mud", "Charcoal", "Water"},  // 38
    {"Bog", "Charcoal", "Charcoal", "Water"},  // 39
    {"Bog", "Shovel", "Bog pit", "Shovel"},  // 40
    {"Grass", "Sunshine", "Flowers", "Sunshine"},  // 41
    {"Smoke", "Smoke", "Ash", "Darkness"},  // 42
    {"Darkness", "Grass", "Crickets", "Darkness"},  // 43
    {"Crickets", "Water", "Fish", "Water"},  // 44
    {"Flowers", "Sunshine", "Bees", "Sunshine"},  // 45
    {"Bees", "Flowers", "Honey", "Wax"},  // 46
    {"Axe", "Hole", "Hammer", "Copper ore"},  // 47
    {"Axe", "Bog pit", "Axe", "Iron ore"},  // 48
    {"Clay", "Water", "Clay bowl", "Water"},  // 49
    {"Clay bowl", "Water", "Clay", "Water"},  // 50
    {"Clay bowl", "Kiln", "Kiln", "Ceramic bowl"},  // 51
    {"Ceramic bowl", "Water", "Pot of water", "Water"},  // 52
    {"Fire", "Pot of water", "Boiling water", "Ceramic bowl"},  // 53
    {"Boiling water", "Meat", "Animal fat", "Cooked meat"},  // 54
    {"Animal fat", "Lye", "Soap", "Water"},  // 55
    {"Darkness", "Rain", "Darkness", "Thunderstorm"},  // 56
    {"Forge", "Iron ore", "Forge", "Iron"},  // 57
    {"Charcoal", "Iron", "Fire", "Steel"},  // 58
    {"Iron", "Water", "Rust", "Water"},  // 59
    {"Darkness", "Sunshine", "Sunshine", "Wind"},  // 60
    {"Rain", "Thunderstorm", "Lightning", "Wind"},  // 61
    {"Lightning", "Sand", "Glass", "Sand"},  // 62
    {"Lightning", "Pine tree", "Fire", "Fire"},  // 63
    {"Kiln", "Sand", "Glass", "Kiln"},  // 64
    {"Rock", "Water", "Cave", "Darkness"},  // 65
    {"Rock", "Rock", "Dirt", "Mountain"},  // 66
    {"Mountain", "Water", "Mountain", "River"},  // 67
    {"Bone meal", "Grass", "Wheat", "Sunflower"},  // 68
    {"Rock", "Wheat", "Flour", "Rock"},  // 69
    {"River", "Rock", "Pebbles", "Stream"},  // 70
    {"Ceramic bowl", "Stream", "Panned gold", "Stream"},  // 71
    {"Cave", "Dirt", "Cave", "Mushrooms"},  // 72
    {"Flour", "Water", "Dough", "Water"},  // 73
    {"Firewood", "Ceramic slab", "Fire", "Oven"},  // 74
    {"Dough", "Oven", "Bread", "Oven"},  // 75
    {"Rain", "Sunflower", "Sunflower", "Sunflower seeds"},  // 76
    {"Dirt", "Sunflower seeds", "Grass", "Sunflower"},  // 77
    {"Rock", "Sunflower seeds", "Rock", "Sunflower oil"},  // 78
    {"Charcoal", "Water", "Water", "Wood tar"},  // 79
    {"Grass", "Heat", "Dirt", "Straw"},  // 80
    {"Meat", "Smoke", "Dirt", "Smoked meat"},  // 81
    {"Cow", "Knife", "Cow hide", "Meat"},  // 82
    {"Cow hide", "Lye", "Leather", "Leather"},  // 83
    {"Cow", "Ceramic bowl", "Cow", "Milk"},  // 84
    {"Leather", "Milk", "Cheese", "Leather"},  // 85
    {"Cheese", "Wax", "Water", "Wheel of cheese"},  // 86
    {"Milk", "Milk", "Butter", "Buttermilk"},  // 87
    {"Sand", "Water", "Ocean", "Sea shells"},  // 88
    {"Ocean", "Ceramic bowl", "Ocean", "Pot of salt water"},  // 89
    {"Fire", "Pot of salt water", "Ceramic bowl", "Sea salt"},  // 90
    {"Rock", "Sea salt", "Rock", "Salt"},  // 91
    {"Butter", "Salt", "Salted butter", "Salted butter"},  // 92
    {"Axe", "Cave", "Cave", "Limestone"},  // 93
    {"Kiln", "Limestone", "Kiln", "Lime"},  // 94
    {"Lime", "Rock", "Cement", "Pebbles"},  // 95
    {"Cement", "Pebbles", "Concrete", "Dirt"},  // 96
    {"Cement", "Sand", "Mortar", "Dirt"},  // 97
    {"Lime", "Water", "Lime plaster", "Lime plaster"},  // 98
    {"Apple", "Grass", "Apple tree", "Grass"},  // 99
    {"Apple tree", "Axe", "Axe", "Log"},  // 100
    {"Honey", "Pot of water", "Ceramic bowl", "Sugar water"},  // 101
    {"Apple", "Sugar water", "Apple cider", "Water"},  // 102
    {"Forge", "Glass", "Glass bottle", "Sand"},  // 103
    {"Apple cider", "Glass bottle", "Alcohol", "Alcohol"},  // 104
    {"Alcohol", "Darkness", "Darkness", "Vinegar"},  // 105
    {"Milk", "Vinegar", "Casein", "Water"},  // 106
    {"Casein", "Lime", "Water", "Wood glue"},  // 107
    {"Plank", "Steam", "Dirt", "Wooden ring"},  // 108
    {"Wood glue", "Wooden ring", "Dirt", "Spinning wheel"},  // 109
    {"Grass", "Pine needles", "Bird nest", "Grass"},  // 110
    {"Bird nest", "Pine tree", "Bird", "Pine tree"},  // 111
    {"Apple tree", "Bird nest", "Apple tree", "Bird"},  // 112
    {"Bird", "Rock", "Feather", "Rock"},  // 113
    {"Feather", "Stick", "Arrow", "Dirt"},  // 114
    {"Fish", "River", "Bear", "River"},  // 115
    {"Arrow", "Bear", "Bear skin", "Meat"},  // 116
    {"Bear skin", "Knife", "Fur", "Knife"},  // 117
    {"Fur", "Spinning wheel", "Spinning wheel", "Yarn"},  // 118
    {"Wax", "Yarn", "Candle", "Light"},  // 119
    {"Stick", "Yarn", "Cloth", "Stick"},  // 120
    {"Cloth", "Yarn", "Heat", "Sweater"},  // 121
    {"Bird", "Crickets", "Bird", "Egg"},  // 122
    {"Heat", "Mountain", "Lava", "Volcano"},  // 123
    {"Lava", "Water", "Lava rock", "Obsidian"},  // 124
    {"Lava rock", "Mud", "Lava rock", "Water"},  // 125
    {"Obsidian", "Rock", "Knife", "Rock"},  // 126
    {"Volcano", "Wind", "Ash", "Smoke"},  // 127
    {"Clay", "Grass", "Clay brick", "Dirt"},  // 128
    {"Leather", "Sunflower oil", "Dirt", "Soft leather"},  // 129
    {"Boiling water", "Leather", "Dirt", "Hard leather"},  // 130
    {"Iron", "Iron", "Anvil", "Dirt"},  // 131
    {"Anvil", "Steel", "Anvil", "Dull sword"},  // 132
    {"Dull sword", "Ceramic slab", "Ceramic slab", "Unpolished sword"},  // 133
    {"Rust", "Unpolished sword", "Rust", "Sword"},  // 134
    {"Hard leather", "Sword", "Dirt", "Sword with sheath"},  // 135
    {"Clay brick", "Sunshine", "Baked brick", "Sunshine"},  // 136
    {"Brick", "Mortar", "Brick wall", "Rock"},  // 137
    {"Hole", "Water", "Grass", "Pond"},  // 138
    {"Crickets", "Pond", "Fish", "Pond"},  // 139
    {"Pond", "Spear", "Frog", "Pond"},  // 140
    {"Frog", "Knife", "Knife", "Meat"},  // 141
    {"Knife", "Leather", "Cordage", "Knife"},  // 142
    {"Cordage", "Stick", "Bow", "Dirt"},  // 143
    {"Arrow", "Leather", "Dirt", "Quiver"},  // 144
    {"Bow", "Quiver", "Archery gear", "Dirt"},  // 145
    {"Cordage", "Soft leather", "Boots", "Dirt"},  // 146
    {"Brick wall", "Pond", "Castle tower", "Moat"},  // 147
    {"Moat", "Plank", "Dirt", "Drawbridge"},  // 148
    {"Castle tower", "Drawbridge", "Castle", "Rock"},  // 149
    {"Candle", "Iron", "Chandelier", "Light"},  // 150
    {"Hammer", "Panned gold", "Gold band", "Hammer"},  // 151
    {"Crude crown", "Rust", "Polished crown", "Rust"},  // 152
    {"Boiling water", "Egg", "Hardboiled egg", "Water"},  // 153
    {"Hardboiled egg", "Salt", "Egg shells", "Salted hardboiled egg"},  // 154
    {"Egg shells", "Rock", "Rock", "Sand"},  // 155
    {"Cow", "Grass", "Cow", "Manure"},  // 156
    {"Hole", "Candle", "Cellar", "Candle"},  // 157
    {"Ceramic bowl", "Manure", "Bed pan", "Urine"},  // 158
    {"Cow hide", "Urine", "Leather", "Water"},  // 159
    {"Iron rod", "Sand", "Sun dial", "Sand"},  // 160
    {"Anvil", "Iron", "Anvil", "Iron rod"},  // 161
    {"Dirt", "Iron rod", "Dirt", "Sun dial"},  // 162
    {"Sun dial", "Sunshine", "Sunshine", "Time"},  // 163
    {"Time", "Urine", "Ammonia", "Urea"},  // 164
    {"Sunshine", "Wheat", "Hay", "Sunshine"},  // 165
    {"Cordage", "Straw", "Dirt", "Straw bale"},  // 166
    {"Cloth", "Straw", "Dirt", "Mattress"},  // 167
    {"Darkness", "Time", "Cold", "Darkness"},  // 168
    {"Cold", "Water", "Cold", "Ice"},  // 169
    {"Cold", "Rain", "Cold", "Snow"},  // 170
    {"Heat", "Snow", "Heat", "Rain"},  // 171
    {"Heat", "Ice", "Heat", "Water"},  // 172
    {"Cold", "Heat", "Wind", "Wind"},  // 173
    {"Boiling water", "Mushrooms", "Mushroom stew", "Steam"},  // 174
    {"Plank", "Wood tar", "Boat", "Dirt"},  // 175
    {"Cloth", "Stick", "Dirt", "Sail"},  // 176
    {"Boat", "Sail", "Sail boat", "Water"},  // 177
    {"Cordage", "Cordage", "Dirt", "Net"},  // 178
    {"Boat", "Net", "Fish", "Fishing boat"},  // 179
    {"Sea salt", "Water", "Ocean", "Ocean"},  // 180
    {"Fishing boat", "Ocean", "Fish", "Fishing boat"},  // 181
    {"Archery gear", "Bird", "Archery gear", "Feather"},  // 182
    {"Cold", "Steam", "Cold", "Rain"},  // 183
    {"Apple", "Time", "Time", "Worm"},  // 184
    {"Dirt", "Worm", "Worm", "Worm"},  // 185
    {"Water", "Worm", "Fish", "Water"},  // 186
    {"Pond", "Worm", "Fish", "Pond"},  // 187
    {"Ocean", "Worm", "Fish", "Ocean"},  // 188
    {"Apple tree", "Worm", "Apple tree", "Bird"},  // 189
    {"Pine tree", "Worm", "Bird", "Pine tree"},  // 190
    {"Manure", "Time", "Dirt", "Time"},  // 191
    {"Plank", "Wooden ring", "Stick", "Water wheel"},  // 192
    {"Stick", "Wooden ring", "Dirt", "Windmill vanes"},  // 193
    {"Brick", "Water wheel", "Water", "Watermill"},  // 194
    {"Brick", "Windmill vanes", "Grass", "Windmill"},  // 195
    {"Wind", "Windmill", "Power", "Windmill"},  // 196
    {"Rain", "Time", "Bog", "Bog"},  // 197
    {"Hole", "Shovel", "Shovel", "Well"},  // 198
    {"Ceramic bowl", "Well", "Pot of water", "Well"},  // 199
    {"Cold", "Flowers", "Cold", "Dirt"},  // 200
    {"Bed pan", "Plank", "Grass", "Outhouse"},  // 201
    {"Stick", "Straw", "Grass", "Thatch"},  // 202
    {"Grass", "Straw", "Bird nest", "Grass"},  // 203
    {"Mud", "Stick", "Water", "Wattle and daub"},  // 204
    {"Plank", "Wattle and daub", "Dirt", "Wattle and daub house"},  // 205
    {"Baked brick", "Thatch", "Cottage", "Dirt"},  // 206
    {"Cow", "Straw bale", "Calf", "Cow"},  // 207
    {"Calf", "Time", "Cow", "Time"},  // 208
    {"Knife", "Pig", "Knife", "Pork"},  // 209
    {"Pork", "Salt", "Salt", "Salted pork"},  // 210
    {"Salted pork", "Time", "Sausage", "Time"},  // 211
    {"Copper ore", "Limestone", "Copper", "Sand"},  // 212
    {"Copper ore", "Sand", "Copper", "Dirt"},  // 213
    {"Copper", "Watermill", "Copper wire", "Watermill"},  // 214
    {"Copper", "Iron", "Dirt", "Electrode"},  // 215
    {"Electrode", "Lye", "Power", "Wet cell battery"},  // 216
    {"Electrode", "Vinegar", "Power", "Wet cell battery"},  // 217
    {"Ammonia", "Electrode", "Dirt", "Wet cell battery"},  // 218
    {"Copper wire", "Wet cell battery", "Power", "Power"},  // 219
    {"Cottage", "Well", "Light", "Village"},  // 220
    {"Wattle and daub house", "Well", "Light", "Town"},  // 221
    {"Bone meal", "Pig", "Pig", "Manure"},  // 222
    {"Apple", "Pig", "Pig", "Piglet"},  // 223
    {"Piglet", "Time", "Pig", "Time"},  // 224
    {"Grass", "Time", "Seed", "Time"},  // 225
    {"Chicken", "Seed", "Chicken", "Chicken egg"},  // 226
    {"Boiling water", "Chicken egg", "Hardboiled egg", "Water"},  // 227
    {"Obsidian", "Rust", "Mirror", "Rust"},  // 228
    {"Obsidian", "River", "Obsidian jewel", "River"},  // 229
    {"Obsidian", "Stream", "Obsidian jewel", "Stream"},  // 230
    {"Gold band", "Obsidian jewel", "Crude crown", "Dirt"},  // 231
    {"Iron", "Stick", "Farmland", "Hoe"},  // 232
    {"Farmland", "Salt", "Wasteland", "Wasteland"},  // 233
    {"Farmland", "Sea salt", "Wasteland", "Wasteland"},  // 234
    {"Farmland", "Seed", "Farmland", "Sugar beet"},  // 235
    {"Boiling water", "Sugar beet", "Mud", "Sugar water"},  // 236
    {"Cave", "Heat", "Bat", "Cave"},  // 237
    {"Bat", "Crickets", "Bat", "Guano"},  // 238
    {"Guano", "Pot of water", "Ceramic bowl", "Saltpeter"},  // 239
    {"Guano", "Water", "Mud", "Saltpeter"},  // 240
    {"Mortar", "Manure", "Dirt", "Niter bed"},  // 241
    {"Ash", "Manure", "Dirt", "Niter bed"},  // 242
    {"Niter bed", "Urine", "Mud", "Saltpeter"},  // 243
    {"Charcoal", "Saltpeter", "Black powder", "Sand"},  // 244
    {"Black powder", "Iron", "Cannon", "Heat"},  // 245
    {"Bat", "Rock", "Fur", "Rock"},  // 246
    {"Archery gear", "Bat", "Archery gear", "Fur"},  // 247
    {"Boots", "Plank", "Skis", "Snow"},  // 248
    {"Chandelier", "Wattle and daub house", "Inn", "Light"},  // 249
    {"Fire", "Pig", "Bacon grease", "Suckling pig"},  // 250
    {"Boat", "Cannon", "Gold coins", "Pirate ship"},  // 251
    {"Ceramic bowl", "Kiln", "Foundry", "Sand"},  // 252
    {"Panned gold", "Rock", "Gold coins", "Rock"},  // 253
    {"Boat", "Gold coins", "Cloth", "Merchant ship"},  // 254
    {"Merchant ship", "Pirate ship", "Gold coins", "Pirate ship"},  // 255
    {"Foundry", "Iron", "Bell", "Foundry"},  // 256
    {"Bell", "Castle tower", "Church", "Rock"},  // 257
    {"Bacon grease", "Glass bottle", "Lantern", "Light"},  // 258
    {"Hole", "Lantern", "Mineshaft", "Rock"},  // 259
    {"Axe", "Mineshaft", "Iron ore", "Iron ore"},  // 260
    {"Buttermilk", "Flour", "Buttermilk pancakes", "Sunshine"},  // 261
    {"Dirt", "Hoe", "Farmland", "Hoe"},  // 262
    {"Light", "Mirror", "Fire", "Mirror"},  // 263
    {"Mirror", "Sunshine", "Fire", "Mirror"},  // 264
    {"Shovel", "Snow", "Snow", "Snow shovel"},  // 265
    {"Bread", "Salted butter", "Buttered bread", "Sunshine"},  // 266
    {"Salted hardboiled egg", "Salted hardboiled egg", "Methane", "Methane"},  // 267
    {"Cellar", "Sausage", "Dirt", "Stocked cellar"},  // 268
    {"Cellar", "Wheel of cheese", "Dirt", "Stocked cellar"},  // 269
    {"Cellar", "Smoked meat", "Dirt", "Stocked cellar"},  // 270
    {"Castle", "Polished crown", "Kingdom", "Sunshine"},  // 271
    {"Cow", "Hay", "Cow", "Manure"},  // 272
    {"Hay", "Plank", "Barn", "Grass"},  // 273
    {"Fire", "Hay", "Fire", "Fire"},  // 274
    {"Axe", "Lime plaster", "Axe", "Statue"},  // 275
    {"Concrete", "Rock", "Dirt", "Road"},  // 276
    {"Concrete", "Pebbles", "Dirt", "Road"},  // 277
    {"Cow", "Wind", "Cow", "Methane"},  // 278
    {"Ocean", "Power", "Ocean", "Tsunami"},  // 279
    {"Dirt", "Power", "Dirt", "Earthquake"},  // 280
    {"Power", "Volcano", "Volcanic eruption", "Volcano"},  // 281
    {"Power", "Thunderstorm", "Hurricane", "Thunderstorm"},  // 282
    {"Darkness", "Mattress", "Mattress", "Power"},  // 283
    {"Fire", "Urea", "Light", "Phosphorus"},  // 284
    {"Phosphorus", "Stick", "Fire", "Matches"},  // 285
    {"Apple tree", "Rain", "Apple", "Apple tree"},  // 286
    {"Apple tree", "Wind", "Apple tree", "Stick"},  // 287
    {"Bacon grease", "Lye", "Soap", "Water"},  // 288
    {"Cow", "Water", "Cow", "Urine"},  // 289
    {"Pig", "Water", "Pig", "Urine"},  // 290
}};
// clang-format on

}  // namespace quillvane::content
