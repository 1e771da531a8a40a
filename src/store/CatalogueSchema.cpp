#include "store/CatalogueSchema.h"

const std::vector<SchemaTable>& CatalogueTables() {
    using T = EngineFieldType;
    static const std::vector<SchemaTable> tables = {
        {"books",
         {{"id", T::Long, 0, kFieldAutoIncrement},
          {"titlu", T::Text, 255, kFieldNoAttribute},
          {"autor", T::Text, 255, kFieldNoAttribute},
          {"editura", T::Text, 255, kFieldNoAttribute},
          {"tip", T::Integer, 0, kFieldNoAttribute},
          {"pagini", T::Integer, 0, kFieldNoAttribute},
          {"capitole", T::Integer, 0, kFieldNoAttribute},
          {"volume", T::Integer, 0, kFieldNoAttribute},
          {"publicare", T::Integer, 0, kFieldNoAttribute},
          {"publicare_volum", T::Integer, 0, kFieldNoAttribute},
          {"citita", T::Boolean, 0, kFieldNoAttribute},
          {"calificativ", T::Byte, 0, kFieldNoAttribute},
          {"stare", T::Byte, 0, kFieldNoAttribute}}},
        {"states",
         {{"id", T::Long, 0, kFieldAutoIncrement}, {"stare", T::Text, 255, kFieldNoAttribute}}},
        {"types",
         {{"id", T::Long, 0, kFieldAutoIncrement}, {"tip", T::Text, 255, kFieldNoAttribute}}},
    };
    return tables;
}
