// tshost's own pick-list: a small modal window listing texts, as the host shows an author the
// publication's variables to choose from. Plain Unicode Win32, so tshost needs no plug-in's
// toolkit.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vigrel::tshost {

// Shows `items` in a list under `title`, with item `selected` selected, owned by `owner` (may be
// null), which is disabled while the list is open. Returns the index of the item picked, or
// nothing when the author declines.
// Keyboard: Enter picks the selected item (Enter on Cancel declines), Escape declines, the
// arrow keys move the selection; OK or a double click on an item picks, Cancel or the close box
// declines. An empty list has nothing to pick: OK and Enter decline too.
std::optional<std::size_t> PickFromList(HWND owner, const std::wstring& title,
                                        const std::vector<std::wstring>& items,
                                        std::size_t selected);

} // namespace vigrel::tshost
