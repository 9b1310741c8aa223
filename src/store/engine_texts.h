// The texts of the table engine's errors, in Spanish (Windows-1252), each naming the table and
// the cause so that whoever looks after the school's computers knows what to fix.
#pragma once

#include <cstddef>
#include <string>

namespace store::texts {

std::string folderMissing(const std::string& table, const std::string& folder);
std::string tableMissing(const std::string& table, const std::string& folder);
std::string inUse(const std::string& table);
std::string damaged(const std::string& table, const std::string& why);
std::string unsupported(const std::string& table, const std::string& why);
std::string damagedIndex(const std::string& table, const std::string& why);
std::string tagMissing(const std::string& table, const std::string& tag);
std::string noActiveIndex(const std::string& table);
std::string tagNotKept(const std::string& table, const std::string& tag);
std::string fieldMissing(const std::string& table, const std::string& field);
std::string fieldOfOtherOpening(const std::string& table, const std::string& field);
std::string fieldValue(const std::string& table, const std::string& field, const std::string& why);
std::string valueCount(const std::string& table, const std::string& fieldList, std::size_t values);
std::string notOpen(const std::string& table);
// Records handed to appendRecords that are not whole records of the table.
std::string notWholeRecords(const std::string& table, std::size_t length);
std::string notEditing(const std::string& table);
std::string noCurrentRecord(const std::string& table);
std::string noSuchRecord(const std::string& table, long recNo);
std::string readFailed(const std::string& table, int posixErrno);
std::string writeFailed(const std::string& table, int posixErrno);
std::string restructured(const std::string& table);
std::string readOnly(const std::string& table);
std::string cannotCreate(const std::string& table, const std::string& why);
std::string cannotCreateIndex(const std::string& table, const std::string& why);

// A folder for messages: as the program names it and, when different, where it is on disk.
std::string folderShown(const std::string& given, const std::string& resolved);

}  // namespace store::texts
