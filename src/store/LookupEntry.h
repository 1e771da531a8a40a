#pragma once

#include <cstdint>
#include <string>

// One row of `types` or `states`: its identifier and its name.
class LookupEntry {
public:
    LookupEntry() = default;
    LookupEntry(std::int32_t id, std::string name) : m_id(id), m_name(std::move(name)) {}
    virtual ~LookupEntry() = default;
    LookupEntry(const LookupEntry&) = default;
    LookupEntry& operator=(const LookupEntry&) = default;

    std::int32_t GetId() const { return m_id; }
    void SetId(std::int32_t id) { m_id = id; }
    std::string GetName() const { return m_name; }
    const std::string& Name() const { return m_name; }
    void SetName(std::string name) { m_name = std::move(name); }

private:
    std::int32_t m_id = 0;
    std::string m_name;
};
