#pragma once

// The look at the hive file that comes before the hive opens it: a file that is
// not a database, is another program's database or fails a quick integrity check
// is damaged and may be put aside for a fresh one; a file that cannot be opened,
// stays locked by another program or was made by a newer version must be left
// exactly as it is. The look writes nothing, neither into the file nor beside it.
// The program and the registry tool say all of it in the same words.

#include <chrono>
#include <string>

namespace snapwire::reg {

enum class HiveFileState { Usable, Damaged, Unavailable, Uncreatable };

struct HiveFileCheck {
    HiveFileState state = HiveFileState::Usable;
    std::string reason;  // why the file is damaged or cannot be opened or created
};

// How long the hive waits for another program's lock on its file.
inline constexpr std::chrono::milliseconds kHiveBusyWait{5000};

// A missing file is usable: the hive creates it. The verdict covers what SQLite
// reads: the file with its -wal or hot -journal. The hive looks before it opens
// the file; run it before this process has the hive open (it opens the file with
// a connection of its own).
HiveFileCheck CheckHiveFile(const std::string& path, std::chrono::milliseconds busyWait = kHiveBusyWait);

// Opens the hive for this process now, creating the file when it is missing: Usable,
// or what the look found, or what else stands in the way (the file is then left as
// it was).
HiveFileCheck OpenHiveFile();

struct KeptAside {
    std::string file;   // where the damaged hive is now; "" when it could not be moved
    std::string error;  // why not
};

// Renames a damaged hive, with its -wal, -shm and -journal files, to
// "<path>.damaged-<yyyyMMdd>-<HHmmss>" so that a fresh hive can take its place.
KeptAside KeepDamagedHiveAside(const std::string& path);

// What the check found, in one sentence naming the file; "" for a usable file.
std::string HiveFileCheckText(const std::string& path, const HiveFileCheck& check);

}  // namespace snapwire::reg
