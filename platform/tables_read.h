#pragma once
// The tables the running job has read, each as the job first found it. A
// job's output must come from one state of each input: a table that another
// program saved while the job read it may have given rows of both versions,
// or rows looked up through an index of the old one. Before a job puts
// what it made in place, it holds these against their files
// (tableChangedDuringJob); the program's own writes move the record along.
// Outside a job (platform::BreakableJob) nothing is recorded.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/dbase_table.h"

namespace platform {

// The job read this table as `stamp` shows it; only the first note of a
// file per job counts.
void noteTableRead(const std::filesystem::path& file, const DbfFileStamp& stamp);
// The job goes on from a table as an earlier look found it: `stamp` (none:
// the file could not be read then) is what it holds the file against, so
// that a save between that look and the job's own first read is seen. A
// table named `spelled` that was not there (no file) is held to stay away.
void holdTableAsFound(const std::filesystem::path& file, const std::optional<DbfFileStamp>& stamp);
void holdTableAbsent(const std::string& spelled);
// Runs `action` once, when a read of the table `file` next comes here (in
// a job or not), just after it took the file's state: another program
// saving the table at that moment, say. A set point of a job, where a
// timed race would be none; an empty action takes back one not run.
void atTableRead(const std::filesystem::path& file, std::function<void()> action);
// The program wrote the table itself: a record that held the file as it
// was just before the write now holds it as written. One that held an
// older state stays, so that another's save before it is still seen.
void noteOwnTableWrite(const std::filesystem::path& file, const DbfFileStamp& before, const DbfFileStamp& after) noexcept;
// The job's own block now lies where these files lay, or its staging went:
// what it read there is no input another program could have changed.
void forgetTablesUnder(const std::filesystem::path& directory) noexcept;

// The first table of the running job whose file is no longer as the job
// first found it (saved, replaced, gone); none outside a job. Once one is
// found the job keeps it: whatever it puts in place later would be made
// of the same mixed state.
std::optional<std::filesystem::path> tableChangedDuringJob();
// What tableChangedDuringJob found already, without looking at the files.
std::optional<std::filesystem::path> tableFoundChangedInJob();
// "tabulka X byla během práce změněna jiným programem", the table as the
// user spells it; "Tabulka …" to begin a sentence.
std::string changedDuringJobText(const std::filesystem::path& table, bool sentence = false);

}  // namespace platform
