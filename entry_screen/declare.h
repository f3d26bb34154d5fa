#pragma once

// Builds the screens' objects from their declarations.

#include "entry_screen/declarations.h"
#include "platform/dataset/client_dataset.h"
#include "platform/sql/query.h"

namespace ctb::ctb10000 {

// Declares the fields of a closed table in order, with labels, visibility, formats, masks and index.
void declareTable(ClientDataSet& table, const TableDecl& decl);

// Gives a query its text and declares its result fields in order.
void declareQuery(sql::Query& query, const QueryDecl& decl);

}  // namespace ctb::ctb10000
