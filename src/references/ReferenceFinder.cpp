#include "references/ReferenceFinder.h"

#include "references/ReferenceReader.h"

namespace tolvane::references {

std::vector<ReferenceSpan> findReferences(QStringView text, QStringView headword) {
    return ReferenceReader(text, headword).run();
}

} // namespace tolvane::references
