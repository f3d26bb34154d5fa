#include "platform/dataset/edit_mask.h"

#include <vector>

namespace ctb {

namespace {

// Separator of the trailing sections: the last two ';' not escaped by '\'.
std::vector<qsizetype> sectionBreaks(QStringView mask) {
    std::vector<qsizetype> breaks;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (mask[i] == u'\\') {
            ++i;
            continue;
        }
        if (mask[i] == u';')
            breaks.push_back(i);
    }
    return breaks;
}

bool isPlaceholder(QChar c) {
    switch (c.unicode()) {
        case u'0':
        case u'9':
        case u'#':
        case u'L':
        case u'l':
        case u'A':
        case u'a':
        case u'C':
        case u'c':
            return true;
        default:
            return false;
    }
}

}  // namespace

EditMask EditMask::parse(QStringView mask) {
    EditMask m;
    const std::vector<qsizetype> breaks = sectionBreaks(mask);
    if (breaks.empty()) {
        m.picture = mask.toString();
        return m;
    }
    // With a single ';' the rest is the save-literals flag; with more, the last two sections count.
    const qsizetype first = breaks.size() >= 2 ? breaks[breaks.size() - 2] : breaks.back();
    m.picture = mask.left(first).toString();
    const QStringView rest = mask.mid(first + 1);
    const qsizetype semi = breaks.size() >= 2 ? rest.indexOf(u';') : -1;
    const QStringView save = semi >= 0 ? rest.left(semi) : rest;
    m.saveLiterals = save.trimmed() != u"0";
    if (semi >= 0 && semi + 1 < rest.size())
        m.blank = rest[semi + 1];
    return m;
}

QString formatMaskText(QStringView mask, QStringView value) {
    const EditMask m = EditMask::parse(mask);
    if (m.isEmpty())
        return value.toString();
    QString out;
    qsizetype vi = 0;
    int caseMode = 0;  // 1 upper, -1 lower
    const QStringView pic = m.picture;
    for (qsizetype i = 0; i < pic.size() && vi < value.size(); ++i) {
        QChar c = pic[i];
        if (c == u'!')
            continue;
        if (c == u'>') {
            caseMode = 1;
            continue;
        }
        if (c == u'<') {
            if (i + 1 < pic.size() && pic[i + 1] == u'>') {
                ++i;
                caseMode = 0;
            } else {
                caseMode = -1;
            }
            continue;
        }
        bool literal = !isPlaceholder(c);
        if (c == u'\\' && i + 1 < pic.size()) {
            c = pic[++i];
            literal = true;
        } else if (c == u'_') {
            c = u' ';
        }
        if (literal) {
            out += c;
            if (value[vi] == c)
                ++vi;
            continue;
        }
        QChar v = value[vi++];
        if (caseMode > 0)
            v = v.toUpper();
        if (caseMode < 0)
            v = v.toLower();
        out += v;
    }
    return out;
}

}  // namespace ctb
