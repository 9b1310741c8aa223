// Old tables are removed by a thread of their own. Deleting a file of a hundred megabytes frees
// its cached pages and its disk blocks, tens of milliseconds that a conversion need not wait
// for: the old files are first moved out of the way, into a table's private aside folder, and
// that folder is removed while the conversion goes on. Only while the run holds the work folder:
// nobody else looks in it meanwhile, and the run waits for the removals before it lets it go.
#pragma once

#include <string>

namespace store {

// Removes an aside folder of the work folder `folder` (resolved) and the files in it: on the
// removal thread while this process holds `folder`; otherwise at once, on this thread, as also
// when a test has put another file system in place (it may not expect calls from two threads)
// or when the thread cannot be started.
void removeAsideFolderLater(const std::string& folder, const std::string& aside);

// Waits until every folder handed over has been removed. A run calls it before it lets go of
// the work folder, so that no folder of its own outlives the lock that keeps others away.
void finishRemovals();

}  // namespace store
