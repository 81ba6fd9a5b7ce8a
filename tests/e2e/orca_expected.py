# What the Orca scenarios expect, from the game's lines grouped by key: the
# groups of keys pressed together (one step) merged, written as the files
# orca_lib.sh compares with: expected (every line in order), optional (the
# numbers of the lines that another line of their own burst of keys may
# overtake: only a burst's last line must be spoken) and counts (the lines
# of each step).
#
# transcript_groups reads a transcript into those groups: the lines said
# before the first key, then those said after each key.
#
# steps are "XDOTOOL KEYS|HEADLESS KEYS". A step whose headless keys are RUN
# starts a game: it takes the one group of lines said before that game's
# first key. Without RUN steps the first group comes before the first step,
# and counts begins with its size.
def transcript_groups(path):
    groups, current = [], []
    for line in open(path):
        line = line.rstrip("\n")
        if line.startswith("key: "):
            groups.append(current)
            current = []
        elif line.startswith("say: "):
            current.append(line[5:])
    groups.append(current)
    return groups


def write_expected(work, groups, steps):
    runs = [step for step in steps if step.split("|")[1] == "RUN"]
    merged, index = ([], 0) if runs else ([groups[0]], 1)
    kinds = [] if runs else [""]
    for step in steps:
        keys = step.split("|")[1].split()
        # Keys pressed together form one step: merge their groups.
        count = 1 if keys == ["RUN"] else len(keys)
        merged.append(sum(groups[index:index + count], []))
        kinds.append(step)
        index += count
    with open(f"{work}/expected", "w") as out:
        for group in merged:
            out.write("".join(line + "\n" for line in group))
    with open(f"{work}/optional", "w") as out:
        first = 0
        for step, group in zip(kinds, merged):
            if len(step.split("|")[-1].split()) > 1:
                out.write("".join(f"{first + i}\n" for i in range(len(group) - 1)))
            first += len(group)
    with open(f"{work}/counts", "w") as out:
        out.write(" ".join(str(len(group)) for group in merged) + "\n")
