#include "server/packets.h"

namespace ctb::server {

namespace {

FieldDef str(const char* name, int size) {
    return FieldDef{QString::fromLatin1(name), FieldType::String, size};
}
FieldDef num(const char* name) {
    return FieldDef{QString::fromLatin1(name), FieldType::Float, 0};
}
FieldDef date(const char* name) {
    return FieldDef{QString::fromLatin1(name), FieldType::DateTime, 0};
}

std::vector<FieldDef> lineFields() {
    return {str("CDEMPRESA", 2),   str("NRLANCCONT", 12), str("NRSEQLANC", 5),    str("CDCONTCTBL", 20),
            str("NMCONTCTBL", 40), date("DTLANCCONT"),    num("CREDITO"),         num("DEBITO"),
            num("VRLANCAMENT"),    str("CDDOCUCONT", 20), str("DSHISTLANC", 600), str("CDCONTCOME", 21),
            str("IDLANCINTE", 1),  str("CDCONTREDU", 20), str("IDTIPOLANC", 1),   str("CDHISTPADR", 4),
            str("IDLANCCOME", 1)};
}

}  // namespace

const std::vector<FieldDef>& entryLineFields() {
    static const std::vector<FieldDef> fields = lineFields();
    return fields;
}

const std::vector<FieldDef>& lancContFields() {
    static const std::vector<FieldDef> fields = [] {
        auto f = lineFields();
        f.push_back(str("IDSISTEMA", 3));
        return f;
    }();
    return fields;
}

const std::vector<FieldDef>& allocationFields() {
    static const std::vector<FieldDef> fields = {
        str("CDEMPRESA", 2), str("NRLANCCONT", 12), str("NRSEQLANC", 5),   str("CDFILIAL", 4),
        str("NMFILIAL", 30), str("CDCENTCUST", 4),  str("NMCENTCUST", 40), date("DTCOMPCUSTO"),
        num("VRLANCCUST"),   num("CREDITO"),        num("DEBITO")};
    return fields;
}

const std::vector<FieldDef>& centCustFilFields() {
    static const std::vector<FieldDef> fields = {str("CDFILIAL", 4), str("CDCENTCUST", 4),
                                                 str("NMCENTCUST", 40)};
    return fields;
}

const std::vector<FieldDef>& mapaApuracFields() {
    static const std::vector<FieldDef> fields = {str("MES", 9), str("ANO", 4), str("IMPOSTO", 6)};
    return fields;
}

}  // namespace ctb::server
