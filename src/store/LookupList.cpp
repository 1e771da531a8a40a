#include "store/LookupList.h"

#include "store/CBookDatabase.h"
#include "store/CEngineException.h"

void LookupList::RemoveAt(int position) {
    if (position < 0 || position >= GetSize()) {
        return;
    }
    m_entries.erase(m_entries.begin() + position);
}

std::int32_t LookupList::FindIdByName(const std::string& name) const {
    for (const LookupEntry& e : m_entries) {
        if (e.Name() == name) {
            return e.GetId();
        }
    }
    return -1;
}

int LookupList::FindIndexById(std::int32_t id) const {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].GetId() == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const std::string& LookupList::NameOfId(std::int32_t id, const std::string& fallback) const {
    const int index = FindIndexById(id);
    return index < 0 ? fallback : m_entries[static_cast<std::size_t>(index)].Name();
}

bool ReloadLookupList(CBookDatabase& db, LookupKind kind, const char* statement, LookupList& list) {
    list.RemoveAll();
    auto set = db.OpenQuery(statement);
    if (!set || set->GetRecordCount() <= 0) {
        return set != nullptr;
    }
    try {
        const int idField = set->FieldIndex("id");
        const int nameField = set->FieldIndex(kind == LookupKind::Types ? "tip" : "stare");
        for (set->MoveFirst(); !set->IsEOF(); set->MoveNext()) {
            list.Add(LookupEntry(static_cast<std::int32_t>(set->GetInteger(idField)),
                                 set->GetText(nameField)));
        }
    } catch (const CEngineException&) {
        // A table without the expected columns yields no entries.
        list.RemoveAll();
        return false;
    }
    return true;
}

std::vector<std::string> LookupList::Names() const {
    std::vector<std::string> names;
    names.reserve(m_entries.size());
    for (const LookupEntry& e : m_entries) {
        names.push_back(e.Name());
    }
    return names;
}
