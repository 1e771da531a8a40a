#pragma once

#include <string>
#include <vector>

class CEngineDatabase;

// Column types a catalogue table can have, with their ranges.
enum class EngineFieldType {
    Long,    // 32-bit signed
    Integer, // -32768..32767
    Byte,    // 0..255
    Boolean, // stored 0 or -1
    Text,    // at most `size` characters
};

enum EngineFieldAttribute { kFieldNoAttribute = 0, kFieldAutoIncrement = 1 };

// The name and statement of the trigger that makes a Boolean column store any non-zero value
// as -1, on insert or on update: the only triggers a catalogue of the program holds.
std::string BooleanTriggerName(const std::string& table, const std::string& column, bool update);
std::string BooleanTriggerStatement(const std::string& table, const std::string& column,
                                    bool update);

// Defines one table column by column, then appends it to the database.
class CEngineTableDef {
public:
    explicit CEngineTableDef(CEngineDatabase& db) : m_db(db) {}

    void Create(const std::string& name);
    void CreateField(const std::string& name, EngineFieldType type, int size, int attributes);
    void Append();
    void Close();

private:
    struct Field {
        std::string name;
        EngineFieldType type;
        int size;
        int attributes;
    };

    CEngineDatabase& m_db;
    std::string m_name;
    std::vector<Field> m_fields;
};
