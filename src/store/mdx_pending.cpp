// Temporary: the production index is being written beside this engine. Until it arrives,
// tables with indexes cannot be created or opened.
#include "store/errors.h"
#include "store/mdx.h"

namespace store {

std::unique_ptr<MdxIndex> MdxIndex::create(const std::string& path, const std::vector<MdxTag>&)
{
    throw EngineError("No se puede crear el \xEDndice " + path + ": falta el motor de \xEDndices");
}

std::unique_ptr<MdxIndex> MdxIndex::open(const std::string&, bool, const std::string& tableName)
{
    throw EngineError("No se puede abrir el \xEDndice de la tabla " + tableName + ": falta el motor de \xEDndices");
}

}  // namespace store
