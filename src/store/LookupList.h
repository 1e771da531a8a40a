#pragma once

#include "store/LookupEntry.h"
#include "store/MessageSink.h"

#include <cstdint>
#include <string>
#include <vector>

class CBookDatabase;

// An ordered array of entries in the order they were appended; no sorting, no duplicate check.
class LookupList {
public:
    int GetSize() const { return static_cast<int>(m_entries.size()); }
    LookupEntry GetAt(int position) const {
        return m_entries.at(static_cast<std::size_t>(position));
    }
    const LookupEntry& At(int position) const {
        return m_entries.at(static_cast<std::size_t>(position));
    }
    void Add(const LookupEntry& entry) { m_entries.push_back(entry); }
    void RemoveAll() { m_entries.clear(); }
    void SetAt(int position, const LookupEntry& entry) {
        m_entries.at(static_cast<std::size_t>(position)) = entry;
    }
    void RemoveAt(int position);

    // Identifier of the first entry whose name is exactly `name` (bytes, letter case), or -1.
    std::int32_t FindIdByName(const std::string& name) const;
    // Position of the first entry with identifier `id`, or -1.
    int FindIndexById(std::int32_t id) const;
    // Name of the entry with identifier `id`, or `fallback` when none has it.
    const std::string& NameOfId(std::int32_t id, const std::string& fallback) const;
    // Every entry's name, in the list's order.
    std::vector<std::string> Names() const;

private:
    std::vector<LookupEntry> m_entries;
};

// Which lookup table a list mirrors.
enum class LookupKind { Types, States };

// Refills `list` from the catalogue in name order. When the statement fails its message has
// been shown, the list stays empty and the result is false.
bool ReloadLookupList(CBookDatabase& db, LookupKind kind, const char* statement, LookupList& list);

// The reload statements of the main view's lists.
inline constexpr const char* kReloadTypesStatement = "SELECT * FROM types ORDER BY tip";
inline constexpr const char* kReloadStatesStatement = "SELECT * FROM states ORDER by stare";
