#include "tools/uiscript/runner.h"

#include "platform/dataset/client_dataset.h"

#include <QDir>
#include <QFile>

namespace ctb::uiscript {

std::unique_ptr<Application> ApplicationRegistry::create(const QString& name) const {
    auto it = factories_.find(name);
    return it == factories_.end() ? nullptr : it->second();
}

QStringList ApplicationRegistry::names() const {
    QStringList out;
    for (const auto& [name, factory] : factories_)
        out << name;
    return out;
}

namespace {

QString quoted(const QString& s) {
    return QLatin1Char('"') + s + QLatin1Char('"');
}

QString stateName(DataSetState s) {
    switch (s) {
        case DataSetState::Browse:
            return QStringLiteral("browse");
        case DataSetState::Edit:
            return QStringLiteral("edit");
        case DataSetState::Insert:
            return QStringLiteral("insert");
        case DataSetState::Inactive:
            break;
    }
    return QStringLiteral("inactive");
}

// The text of `clipboard "TEXT"`: \t a tab, \n a line feed, \r a carriage return, \\ a backslash.
QString unescaped(const Command& c, const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (next == u't')
            out += u'\t';
        else if (next == u'n')
            out += u'\n';
        else if (next == u'r')
            out += u'\r';
        else if (next == u'\\')
            out += u'\\';
        else
            throw ScriptError(c.line, QStringLiteral("escape desconhecido em clipboard: \\%1").arg(next));
        ++i;
    }
    return out;
}

void needArgs(const Command& c, qsizetype min, const char* usage) {
    if (c.args.size() < min)
        throw ScriptError(c.line, QStringLiteral("uso: %1").arg(QString::fromUtf8(usage)));
}

}  // namespace

Runner::Runner(Backend& backend, const ApplicationRegistry& registry, QString appName)
    : backend_(backend), registry_(registry), appName_(std::move(appName)) {
    backend_.setModalLoop([this](ui::Form& form) {
        ++modalDepth_;
        try {
            runUntil([&form] { return !form.isShowing(); });
        } catch (const ScriptError& e) {
            // Thrown from inside the application's handler: keep it away from the action boundary.
            if (!failure_)
                failure_ = e;
        }
        --modalDepth_;
    });
}

Runner::~Runner() {
    backend_.setModalLoop({});
    app_.reset();
}

void Runner::run(const std::vector<Command>& commands) {
    commands_ = &commands;
    next_ = 0;
    runUntil([] { return false; });
    if (failure_)
        throw *failure_;
    if (auto m = backend_.takeMessage()) {
        const int line = commands.empty() ? 0 : commands.back().line;
        throw ScriptError(
            line, QStringLiteral("fim do script com mensagem não conferida: %1").arg(quoted(m->text)));
    }
}

void Runner::runUntil(const std::function<bool()>& stop) {
    while (!failure_ && commands_ != nullptr && next_ < commands_->size()) {
        const Command& c = (*commands_)[next_++];
        try {
            execute(c);
        } catch (const BackendError& e) {
            throw ScriptError(c.line, e.message());
        }
        if (failure_)
            throw *failure_;
        if (stop())
            return;
    }
}

void Runner::checkProblems(const Command& c) {
    const QStringList problems = backend_.takeProblems();
    if (!problems.isEmpty())
        throw ScriptError(c.line, problems.join(QStringLiteral("; ")));
}

ClientDataSet& Runner::table(const Command& c, const QString& name) const {
    ClientDataSet* t = app_ ? app_->findTable(name) : nullptr;
    if (t == nullptr)
        throw ScriptError(c.line, QStringLiteral("tabela \"%1\" desconhecida").arg(name));
    return *t;
}

void Runner::execute(const Command& c) {
    const QString& v = c.verb;
    if (v == u"session") {
        if (app_)
            throw ScriptError(c.line, QStringLiteral("session deve vir antes de open"));
        for (const QString& a : c.args) {
            const qsizetype eq = a.indexOf(u'=');
            if (eq <= 0)
                throw ScriptError(c.line, QStringLiteral("parâmetro de sessão inválido: %1").arg(a));
            const QString key = a.left(eq).toLower();
            const QString value = a.mid(eq + 1);
            if (key == u"company")
                session_.company = value;
            else if (key == u"user")
                session_.user = value;
            else if (key == u"db")
                session_.db = value;
            else if (key == u"server")
                session_.server = value;
            else if (key == u"locale")
                session_.locale = value;
            else if (key == u"picture")
                session_.accountPicture = value;
            else if (key == u"today") {
                session_.today = QDate::fromString(value, Qt::ISODate);
                if (!session_.today.isValid())
                    throw ScriptError(c.line, QStringLiteral("data inválida em today=: %1").arg(value));
            } else
                throw ScriptError(c.line, QStringLiteral("parâmetro de sessão desconhecido: %1").arg(key));
        }
        sessionSet_ = true;
        return;
    }
    if (v == u"open") {
        // A second `open` is the host calling the launcher again: the same application, shown again.
        if (!app_) {
            app_ = registry_.create(appName_);
            if (!app_)
                throw ScriptError(c.line, QStringLiteral("aplicação \"%1\" não registrada").arg(appName_));
        }
        app_->open(session_, backend_.services());
        checkProblems(c);
        return;
    }
    if (v == u"focus") {
        needArgs(c, 1, "focus CONTROLE");
        backend_.focus(c.args[0]);
    } else if (v == u"type") {
        needArgs(c, 2, "type CONTROLE \"TEXTO\"");
        backend_.type(c.args[0], c.args[1]);
    } else if (v == u"keys") {
        needArgs(c, 2, "keys CONTROLE \"TEXTO\"");
        backend_.keys(c.args[0], c.args[1]);
    } else if (v == u"key") {
        needArgs(c, 2, "key CONTROLE CÓDIGO [ctrl] [shift]");
        bool ok = false;
        const int code = c.args[1].toInt(&ok);
        if (!ok || code <= 0 || code > 255)
            throw ScriptError(c.line, QStringLiteral("código de tecla inválido: %1").arg(c.args[1]));
        ui::ShiftState shift;
        for (qsizetype i = 2; i < c.args.size(); ++i) {
            if (c.args[i].toLower() == u"ctrl")
                shift.ctrl = true;
            else if (c.args[i].toLower() == u"shift")
                shift.shift = true;
            else
                throw ScriptError(c.line, QStringLiteral("modificador desconhecido: %1").arg(c.args[i]));
        }
        backend_.key(c.args[0], code, shift);
    } else if (v == u"click") {
        needArgs(c, 1, "click CONTROLE");
        backend_.click(c.args[0]);
    } else if (v == u"col") {
        needArgs(c, 2, "col GRADE CAMPO");
        backend_.selectColumn(c.args[0], c.args[1]);
    } else if (v == u"row") {
        needArgs(c, 2, "row GRADE N");
        bool ok = false;
        const int n = c.args[1].toInt(&ok);
        if (!ok || n < 1)
            throw ScriptError(c.line, QStringLiteral("número de linha inválido: %1").arg(c.args[1]));
        backend_.selectRow(c.args[0], n);
    } else if (v == u"cell") {
        needArgs(c, 3, "cell GRADE CAMPO \"TEXTO\"");
        backend_.editCell(c.args[0], c.args[1], c.args[2]);
    } else if (v == u"screenshot") {
        needArgs(c, 1, "screenshot \"ARQUIVO.png\"");
        backend_.screenshot(c.args[0]);
        return;
    } else if (v == u"answer") {
        needArgs(c, 1, "answer yes|no");
        const QString a = c.args[0].toLower();
        if (a != u"yes" && a != u"no")
            throw ScriptError(c.line, QStringLiteral("resposta deve ser yes ou no"));
        backend_.queueAnswer(a == u"yes");
        return;
    } else if (v == u"pick") {
        needArgs(c, 1, "pick \"CHAVE\"[,\"CHAVE\"...] | pick none");
        if (c.args.size() == 1 && c.args[0] == u"none" && !c.source.contains(u'"'))
            backend_.queuePick({});
        else
            backend_.queuePick(c.args);
        return;
    } else if (v == u"clipboard") {
        needArgs(c, 1, "clipboard \"TEXTO\" | clipboard file \"ARQUIVO\"");
        if (c.args.size() == 2 && c.args[0] == u"file" &&
            !c.source.startsWith(QStringLiteral("clipboard \""), Qt::CaseInsensitive)) {
            QFile file(QDir(scriptDir_).filePath(c.args[1]));
            if (!file.open(QIODevice::ReadOnly))
                throw ScriptError(c.line, QStringLiteral("não foi possível ler %1").arg(file.fileName()));
            backend_.services().setClipboardText(QString::fromUtf8(file.readAll()));
        } else if (c.args.size() == 1) {
            backend_.services().setClipboardText(unescaped(c, c.args[0]));
        } else {
            throw ScriptError(c.line,
                              QStringLiteral("uso: clipboard \"TEXTO\" | clipboard file \"ARQUIVO\""));
        }
        return;
    } else if (v == u"expect") {
        expect(c);
        return;
    } else {
        throw ScriptError(c.line, QStringLiteral("comando desconhecido: %1").arg(c.verb));
    }
    checkProblems(c);
}

void Runner::expect(const Command& c) {
    needArgs(c, 1, "expect ...");
    const QString what = c.args[0].toLower();
    auto fail = [&](const QString& expected, const QString& seen) {
        throw ScriptError(c.line, QStringLiteral("esperava %1; obtido %2").arg(expected, seen));
    };
    if (what == u"message") {
        needArgs(c, 2, "expect message \"TEXTO\"");
        auto m = backend_.takeMessage();
        if (!m)
            fail(QStringLiteral("a mensagem %1").arg(quoted(c.args[1])), QStringLiteral("nenhuma mensagem"));
        if (m->text != c.args[1])
            fail(QStringLiteral("a mensagem %1").arg(quoted(c.args[1])), quoted(m->text));
        return;
    }
    if (what == u"no-message") {
        if (auto m = backend_.takeMessage())
            fail(QStringLiteral("nenhuma mensagem"), quoted(m->text));
        return;
    }
    if (what == u"enabled" || what == u"disabled" || what == u"visible" || what == u"hidden" ||
        what == u"focused") {
        needArgs(c, 2, "expect enabled|disabled|visible|hidden|focused CONTROLE");
        const QString& name = c.args[1];
        bool ok = false;
        QString seen;
        if (what == u"enabled" || what == u"disabled") {
            const bool e = backend_.isEnabled(name);
            ok = (what == u"enabled") == e;
            seen = e ? QStringLiteral("habilitado") : QStringLiteral("desabilitado");
        } else if (what == u"visible" || what == u"hidden") {
            const bool vis = backend_.isVisible(name);
            ok = (what == u"visible") == vis;
            seen = vis ? QStringLiteral("visível") : QStringLiteral("oculto");
        } else {
            ok = backend_.isFocused(name);
            if (!ok) {
                const ui::Control* c0 = backend_.findControl(name);
                const ui::Form* f = c0 != nullptr ? c0->form() : nullptr;
                const ui::Control* a = f != nullptr ? f->activeControl() : nullptr;
                seen = QStringLiteral("o foco em %1")
                           .arg(a != nullptr ? a->name() : QStringLiteral("nenhum controle"));
            }
        }
        if (!ok)
            fail(QStringLiteral("%1 %2").arg(name, what), seen);
        return;
    }
    if (what == u"text") {
        needArgs(c, 3, "expect text CONTROLE \"TEXTO\"");
        const QString seen = backend_.text(c.args[1]);
        if (seen != c.args[2])
            fail(QStringLiteral("texto %1 em %2").arg(quoted(c.args[2]), c.args[1]), quoted(seen));
        return;
    }
    if (what == u"clipboard") {
        needArgs(c, 2, "expect clipboard \"TEXTO\"");
        const QString wanted = unescaped(c, c.args[1]);
        const QString seen = backend_.services().clipboardText();
        if (seen != wanted)
            fail(QStringLiteral("na área de transferência %1").arg(quoted(c.args[1])), quoted(seen));
        return;
    }
    if (what == u"rows") {
        needArgs(c, 3, "expect rows TABELA N");
        ClientDataSet& t = table(c, c.args[1]);
        const int n = t.active() ? t.recordCount() : 0;
        if (QString::number(n) != c.args[2])
            fail(QStringLiteral("%1 linhas em %2").arg(c.args[2], c.args[1]), QString::number(n));
        return;
    }
    if (what == u"field") {
        needArgs(c, 4, "expect field TABELA CAMPO \"VALOR\"");
        ClientDataSet& t = table(c, c.args[1]);
        Field* f = t.findField(c.args[2]);
        if (f == nullptr)
            throw ScriptError(c.line,
                              QStringLiteral("a tabela %1 não tem o campo %2").arg(c.args[1], c.args[2]));
        const QString seen = t.active() ? f->displayText() : QString();
        if (seen != c.args[3])
            fail(QStringLiteral("%1.%2 = %3").arg(c.args[1], c.args[2], quoted(c.args[3])), quoted(seen));
        return;
    }
    if (what == u"state") {
        needArgs(c, 3, "expect state TABELA browse|edit|insert");
        const QString seen = stateName(table(c, c.args[1]).state());
        if (seen != c.args[2].toLower())
            fail(QStringLiteral("%1 em %2").arg(c.args[1], c.args[2]), seen);
        return;
    }
    if (what == u"flag") {
        needArgs(c, 3, "expect flag NOME true|false");
        std::optional<bool> f = app_ ? app_->flag(c.args[1]) : std::nullopt;
        if (!f)
            throw ScriptError(c.line, QStringLiteral("indicador \"%1\" desconhecido").arg(c.args[1]));
        const QString seen = *f ? QStringLiteral("true") : QStringLiteral("false");
        if (seen != c.args[2].toLower())
            fail(QStringLiteral("%1 = %2").arg(c.args[1], c.args[2]), seen);
        return;
    }
    if (what == u"tab") {
        needArgs(c, 2, "expect tab tshFolhaDados|tshFormulario");
        ui::Control* page = backend_.findControl(c.args[1]);
        if (page == nullptr || page->kind() != ui::ControlKind::TabSheet)
            throw ScriptError(c.line, QStringLiteral("aba \"%1\" não existe").arg(c.args[1]));
        auto* sheet = static_cast<ui::TabSheet*>(page);
        if (!sheet->isActive()) {
            QString seen = QStringLiteral("outra aba");
            if (sheet->parent() != nullptr && sheet->parent()->kind() == ui::ControlKind::PageControl)
                if (auto* active = static_cast<ui::PageControl*>(sheet->parent())->activePage())
                    seen = QStringLiteral("a aba %1").arg(active->name());
            fail(QStringLiteral("a aba %1").arg(c.args[1]), seen);
        }
        return;
    }
    throw ScriptError(c.line, QStringLiteral("expectativa desconhecida: %1").arg(what));
}

}  // namespace ctb::uiscript
