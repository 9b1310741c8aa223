// Tables replaced by a run are kept as spares, in the work folder's ".reserva" folder, and the
// next table of the same name built aside is written over one instead of into a new file.
// Deleting a table that the system has already put on disk frees its blocks and its cached
// pages, about 0.4 ms a megabyte of processor time here (the export's work table is 99 MB),
// and a new file takes new ones; over an old file the writes only replace bytes. The price is
// the disk room of one more copy of those tables. Only while the run holds the work folder
// (nobody else looks in the folder meanwhile), and not on Windows (files::overwritingPays).
#pragma once

#include <cstdint>
#include <string>

namespace files {
class File;
}

namespace store {

// The folder of spares inside a work folder. It does not begin as the aside folders do, so a
// run's clearing of leftovers keeps it.
inline const std::string kSpareFolder = ".reserva";

// Tables smaller than this are deleted as before: their deletion costs little.
constexpr std::uint64_t kSpareMinimumBytes = 1 << 20;

// Moves the spare kept for the table file `fileName` of `folder` (resolved) to `to`, where a
// table is about to be made. False, with nothing moved, when there is none, when it is not a
// plain file, or when the run does not hold `folder`.
bool takeSpare(const std::string& folder, const std::string& fileName, const std::string& to);

// Keeps the table file at `path`, which a new table replaces, as the spare for its name. False,
// with nothing moved, when the run does not hold `folder`, when the file is small or there is
// a spare of that name already (putting it over that one would delete it here and now).
bool keepAsSpare(const std::string& folder, const std::string& path);

// Cuts a table file that was a spare after its end mark, where the old bytes begin. 0 or an
// errno value.
int cutAfterEnd(files::File& file);

}  // namespace store
