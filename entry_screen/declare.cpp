#include "entry_screen/declare.h"

namespace ctb::ctb10000 {

void declareTable(ClientDataSet& table, const TableDecl& decl) {
    table.clearFields();
    for (const FieldDecl& f : decl.fields) {
        Field& field = table.addField(u8(f.name), f.type, f.size);
        if (*f.label)
            field.setDisplayLabel(u8(f.label));
        field.setVisible(f.visible);
        if (*f.displayFormat)
            field.setDisplayFormat(u8(f.displayFormat));
        if (*f.editMask)
            field.setEditMask(u8(f.editMask));
    }
    table.setIndexFieldNames(u8(decl.indexFieldNames));
}

void declareQuery(sql::Query& query, const QueryDecl& decl) {
    query.setSql(u8(decl.sql));
    for (const FieldDecl& f : decl.fields) {
        query.declareField(u8(f.name), f.type, f.size, u8(f.label), f.visible);
        if (*f.editMask)
            query.setEditMask(u8(f.name), u8(f.editMask));
    }
}

}  // namespace ctb::ctb10000
