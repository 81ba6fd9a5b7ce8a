# What the Orca scenarios expect, from the game's lines grouped by key: the
# groups of keys pressed together (one step) merged, written as the files
# orca_lib.sh compares with: expected (every line in order), optional (the
# numbers of the lines that another line of their own burst of keys may
# overtake: only a burst's last line must be spoken) and counts (the lines
# of each step).
def write_expected(work, groups, steps):
    # Keys pressed together form one step: merge their groups.
    merged, index = [groups[0]], 1
    for step in steps:
        count = len(step.split("|")[1].split())
        merged.append(sum(groups[index:index + count], []))
        index += count
    with open(f"{work}/expected", "w") as out:
        for group in merged:
            out.write("".join(line + "\n" for line in group))
    with open(f"{work}/optional", "w") as out:
        first = 0
        for step, group in zip([""] + steps, merged):
            if len(step.split("|")[-1].split()) > 1:
                out.write("".join(f"{first + i}\n" for i in range(len(group) - 1)))
            first += len(group)
    with open(f"{work}/counts", "w") as out:
        out.write(" ".join(str(len(group)) for group in merged) + "\n")
