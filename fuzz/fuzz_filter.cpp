// The tables' filter-text parser on any text, then the parsed filter resolved against a table's fields
// and evaluated on a row: a malformed text or an unknown field is refused (FilterError), never a crash.

#include "platform/dataset/client_dataset.h"
#include "platform/dataset/row_filter.h"

#include <QLocale>
#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<ctb::FieldDef> fields = {
        {QStringLiteral("CDEMPRESA"), ctb::FieldType::String, 2},
        {QStringLiteral("NRLANCCONT"), ctb::FieldType::String, 12},
        {QStringLiteral("VRLANCAMENT"), ctb::FieldType::Float, 0},
        {QStringLiteral("DTLANCCONT"), ctb::FieldType::DateTime, 0},
        {QStringLiteral("NRSEQ"), ctb::FieldType::Integer, 0}};
    static const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const ctb::ParsedFilter parsed = ctb::ParsedFilter::parse(text);
        for (const bool caseInsensitive : {false, true}) {
            const ctb::RowFilter filter(parsed, fields, QStringLiteral("cdsTeste"), caseInsensitive);
            ctb::Row row(static_cast<int>(fields.size()));
            row.setText(0, u"01");
            row.setText(1, u"202612000001");
            row.setNumber(2, -1234.5);
            row.setMsecs(3, 0);
            row.setNull(4);
            (void)filter.matches(row, locale);
        }
    } catch (const ctb::FilterError&) {
    }
    return 0;
}
