#pragma once

// Packets of a confirm as the screen sends them, built from short specs.

#include "platform/net/wire.h"
#include "server/packets.h"

#include <QDate>
#include <QString>

#include <cmath>
#include <vector>

namespace ctb::test {

using wire::Value;

inline Value str(const char* s) {
    return Value::fromString(QString::fromUtf8(s));
}
inline Value date(int y, int m, int d) {
    return Value::fromDate(QDate(y, m, d));
}

struct LineSpec {
    const char* seq;
    const char* side;
    double value;  // positive; the sign follows the side
    const char* account = "8.1.01.001";
    const char* history = "Histórico";
    const char* commercialKind = "";
    const char* commercialCode = "";
    const char* historyCode = "T001";
};

inline DataPacket entryPacket(const QString& company, const QString& number, QDate day,
                              const std::vector<LineSpec>& specs, const char* document = "DOC1") {
    DataPacket p{server::entryLineFields(), {}};
    for (const LineSpec& s : specs) {
        Row r(static_cast<int>(p.fields.size()));
        const bool debit = QLatin1String(s.side) == QLatin1String("D");
        r.setText(0, company);
        r.setText(1, number);
        r.setText(2, QString::fromLatin1(s.seq));
        r.setText(3, QString::fromLatin1(s.account));
        r.setMsecs(5, wire::msecsFromDate(day));
        r.setNumber(debit ? 7 : 6, s.value);
        r.setNumber(8, debit ? -s.value : s.value);
        r.setText(9, QString::fromUtf8(document));
        r.setText(10, QString::fromUtf8(s.history));
        if (*s.commercialCode)
            r.setText(11, QString::fromUtf8(s.commercialCode));
        r.setText(12, u"M");
        r.setText(14, QString::fromLatin1(s.side));
        if (*s.historyCode)
            r.setText(15, QString::fromLatin1(s.historyCode));
        if (*s.commercialKind)
            r.setText(16, QString::fromLatin1(s.commercialKind));
        p.rows.push_back(std::move(r));
    }
    return p;
}

struct AllocSpec {
    const char* seq;
    const char* branch;
    const char* centre;
    double signedValue;
};

inline DataPacket allocPacket(const QString& company, const QString& number, QDate day,
                              const std::vector<AllocSpec>& specs) {
    DataPacket p{server::allocationFields(), {}};
    for (const AllocSpec& s : specs) {
        Row r(static_cast<int>(p.fields.size()));
        r.setText(0, company);
        r.setText(1, number);
        r.setText(2, QString::fromLatin1(s.seq));
        r.setText(3, QString::fromLatin1(s.branch));
        r.setText(5, QString::fromLatin1(s.centre));
        r.setMsecs(7, wire::msecsFromDate(day));
        r.setNumber(8, s.signedValue);
        r.setNumber(s.signedValue < 0 ? 10 : 9, std::abs(s.signedValue));
        p.rows.push_back(std::move(r));
    }
    return p;
}

}  // namespace ctb::test
