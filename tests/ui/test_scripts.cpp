// The sample form driven by UI scripts through the headless backend, and the runner's failures.

#include "tests/ui/sample_app.h"
#include "tools/uiscript/headless_backend.h"
#include "tools/uiscript/runner.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {
[[maybe_unused]] QStringList names(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* i : items)
        out << QString::fromUtf8(i);
    return out;
}
}  // namespace

using namespace ctb;
using namespace ctb::uiscript;

namespace {

ApplicationRegistry sampleRegistry() {
    ApplicationRegistry apps;
    apps.add(QStringLiteral("sample"), [] { return std::make_unique<sample::SampleApp>(); });
    return apps;
}

QString readScript(const char* name) {
    QFile f(QString::fromLocal8Bit(qgetenv("CTB_SOURCE_DIR")) + QStringLiteral("/tests/ui/scripts/") +
            QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll());
}

// Runs a script; returns the failure text, or "" when it passed.
QString run(const QString& script) {
    const ApplicationRegistry apps = sampleRegistry();
    HeadlessBackend backend;
    Runner runner(backend, apps, QStringLiteral("sample"));
    try {
        runner.runText(script);
    } catch (const ScriptError& e) {
        return QStringLiteral("linha %1: %2").arg(e.line()).arg(e.message());
    }
    return {};
}

class SampleScripts : public ::testing::TestWithParam<const char*> {};

TEST_P(SampleScripts, Pass) {
    const QString script = readScript(GetParam());
    ASSERT_FALSE(script.isEmpty()) << GetParam();
    EXPECT_EQ(run(script), QString()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Headless, SampleScripts,
                         ::testing::Values("sample_fields.uis", "sample_grid.uis", "sample_dialog.uis",
                                           "sample_refusals.uis"));

const char* const kHeader = "session company=01 user=OPER\nopen\n";

struct FailureCase {
    const char* body;
    int line;
    const char* fragment;
};

class ScriptFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ScriptFailures, NameTheLineWhatWasExpectedAndWhatWasSeen) {
    const QString failure = run(QString::fromUtf8(kHeader) + QString::fromUtf8(GetParam().body));
    EXPECT_TRUE(failure.startsWith(QStringLiteral("linha %1:").arg(GetParam().line)))
        << failure.toStdString();
    EXPECT_TRUE(failure.contains(QString::fromUtf8(GetParam().fragment))) << failure.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptFailures,
    ::testing::Values(
        FailureCase{"expect text edtCodigo \"x\"\n", 3, "obtido \"\""},
        FailureCase{"focus medConta\nexpect message \"outra\"\n", 4, "obtido \"Código deve ser informado.\""},
        FailureCase{"expect message \"nada\"\n", 3, "nenhuma mensagem"},
        FailureCase{"focus medConta\nexpect no-message\n", 4, "Código deve ser informado."},
        FailureCase{"focus edtNaoExiste\n", 3, "edtNaoExiste"},
        FailureCase{"type edtCodigo \"1\"\nclick btnLimpar\n", 4, "Não há itens."},  // unread at the end
        FailureCase{"type edtCodigo \"1\"\ncell dbgItens CODIGO \"1\"\nkey dbgItens 40\nfocus edtCodigo\n"
                    "row dbgItens 1\nclick btnLimpar\n",
                    8, "pergunta sem resposta"},
        FailureCase{"type edtCodigo \"1\"\nclick btnCor\n", 4, "sem escolha"},
        FailureCase{"expect rows cdsNada 0\n", 3, "cdsNada"},
        FailureCase{"expect flag FAlterado true\n", 3, "obtido false"},
        FailureCase{"expect state cdsItens edit\n", 3, "obtido browse"},
        FailureCase{"frobnicate\n", 3, "comando desconhecido"},
        FailureCase{"keys edtCodigo \"{Home}1\"\n", 3, "keys só funciona com --qt"},
        FailureCase{"type edtCodigo \"1\n", 3, "aspas"}));

TEST(ScriptParser, QuotedTextsCommentsAndLists) {
    const auto cmds = parseScript(QStringLiteral("# c\n\npick \"0001\",\"0\"\"2\"  # fim\ntype e \"\"\n"));
    ASSERT_EQ(cmds.size(), 2u);
    EXPECT_EQ(cmds[0].line, 3);
    EXPECT_EQ(cmds[0].args, names({"0001", "0\"2"}));
    EXPECT_EQ(cmds[1].args, names({"e", ""}));
}

}  // namespace
