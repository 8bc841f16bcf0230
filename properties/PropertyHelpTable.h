// The fixed help texts of the property box and their lookup.
#pragma once

#include "properties/sPropertyStatus.h"

#include <vector>

namespace PropertyHelpTable {

// Number of rows that hold help; the box keeps room for more.
constexpr int FILLED_ROWS = 154;
constexpr int TABLE_ROWS = 172;

// The filled rows, in table order.
const std::vector<sPropertyStatus>& rows();

// The help of `name` for an object of kind key `kindKey`: the first row whose
// name equals it and whose kind key is empty or equal to it, both compared
// without regard to case. The scan ends at the first row without a name or
// at the end of `table`. A null text when no row matches.
QString lookup(const std::vector<sPropertyStatus>& table, const QString& kindKey, const QString& name);

} // namespace PropertyHelpTable
