#pragma once

#include <set>
#include <string>

// Names of a project's movie resources (UTF-8). A name is a stem, maybe ending in numberings
// ("_N", N a decimal number without leading zeros) and maybe an extension: "demo_2.swf" has
// the stem "demo_2" and, without its numberings, the family "demo"; the extension is what
// follows the last dot that is not at the start of the name.
//
// The edits ask for names made from the movie they start from: the edited movie "demo_1.swf",
// the second part of a split "demo_2.swf". Taken literally, numberings would pile up with each
// edit ("demo_1_1_1.swf"); instead:
//  - a resource whose movie an edit replaces keeps its name, when the name asked for is of the
//    same family (the edited movie is the same resource; the one it replaced stays an earlier
//    version of it, not a second resource whose name the new one must avoid);
//  - a new resource gets the name asked for when no resource of the project has it and it is
//    numbered at most once; otherwise the first free name "family_N.ext" for N = 2, 3, ...:
//    splitting "demo_2.swf" makes "demo_3.swf" (or the next free one), never "demo_2_2.swf",
//    and a second "demo.swf" added is "demo_2.swf".
// A name the user gives a slide (rename) is taken as it is.

// The name without its extension and without every numbering at the end of what is left.
std::string ZuNameFamily(const std::string& name);
// The name a resource keeps when its movie is replaced and the edit asks for `asked`.
std::string ZuReplacedResourceName(const std::string& current, const std::string& asked);
// The name a new resource gets when `asked` is asked for and the names in taken are used.
std::string ZuNewResourceName(const std::string& asked, const std::set<std::string>& taken);
