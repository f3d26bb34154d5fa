// The entry filter dialog driven through the control model with the headless UI services, against a
// real application server on a throwaway SQLite database; the arguments checked are those the
// recording proxy saw on the wire.
#include "tests/module/filter_fixture.h"

#include "platform/ui/services.h"
#include "platform/ui/user_input.h"

#include <functional>
#include <tuple>

namespace ctb::ctb10000 {
namespace {

using namespace filtertest;
using wire::Value;
namespace user = ui::user;

// Headless services that also keep every lookup request.
class RecordingUi : public ui::HeadlessUi {
  public:
    std::vector<int> lookup(const ui::LookupRequest& request) override {
        requests.push_back(request);
        return HeadlessUi::lookup(request);
    }
    std::vector<ui::LookupRequest> requests;
};

class FilterDialogFixture : public FilterFixtureBase<RecordingUi> {
  protected:
    void TearDown() override {
        FilterFixtureBase::TearDown();
        EXPECT_TRUE(ui_.problems().empty()) << ui_.problems().front().toStdString();
    }

    // Opens the filter dialog (through the launcher, as the screen does) and runs `act` while it is up.
    int openFilter(const std::function<void(TfrmLancFiltro&)>& act) {
        screen();
        ui_.queueModalHandler([act](ui::Form& f) { act(static_cast<TfrmLancFiltro&>(f)); });
        return CriaLancFiltro();
    }

    // The next message shown: its text; empty when none is left.
    QString nextMessage() {
        const auto m = ui_.takeMessage();
        return m ? m->text : QString();
    }
};

// ---------------------------------------------------------------- first opening and defaults

TEST_F(FilterDialogFixture, FirstOpeningShowsOpenCriteriaAndConfirmSendsTheDefaultArguments) {
    bool checked = false;
    const int result = openFilter([&](TfrmLancFiltro& d) {
        EXPECT_EQ(d.caption(), QStringLiteral("Filtro de Lançamento Contábil"));
        EXPECT_EQ(d.lblCodTela.caption(), QStringLiteral("CTB10010"));
        EXPECT_EQ(d.HelpContext, 10611010);
        EXPECT_EQ(d.activeControl(), &d.medContCtblIn);
        EXPECT_EQ(d.activationCount(), 1);
        EXPECT_EQ(d.depIni.text(), QStringLiteral("08/12/2026"));
        EXPECT_EQ(d.depFim.text(), QStringLiteral("08/12/2026"));
        EXPECT_EQ(d.edtValorIni.text(), QStringLiteral("0,00"));
        EXPECT_EQ(d.edtValorFim.text(), QStringLiteral("0,00"));
        for (ui::RadioButton* r :
             {&d.rbtTodos, &d.rbtTClie, &d.rbtTForn, &d.rbtTBanc, &d.rbtTFilial, &d.rbtTCentCust})
            EXPECT_TRUE(r->checked()) << r->name().toStdString();
        for (ui::Control* b :
             {static_cast<ui::Control*>(&d.sbtHist), static_cast<ui::Control*>(&d.sbtClie),
              static_cast<ui::Control*>(&d.sbtForn), static_cast<ui::Control*>(&d.sbtBanc),
              static_cast<ui::Control*>(&d.btnFilial), static_cast<ui::Control*>(&d.btnCentCust)})
            EXPECT_FALSE(b->enabled()) << b->name().toStdString();
        // Company 01 keeps commercial and managerial lines: those groups are usable.
        EXPECT_TRUE(d.rbtClie.enabled());
        EXPECT_TRUE(d.rbtLCentCust.enabled());
        EXPECT_EQ(d.medContCtblIn.editMask(), QStringLiteral("9.9.99.999;1; "));
        EXPECT_FALSE(d.FCriterios.hasPeriod());
        EXPECT_TRUE(user::click(d.sbtConfirma));
        EXPECT_FALSE(d.isShowing());
        checked = true;
    });
    ASSERT_TRUE(checked);
    EXPECT_EQ(result, static_cast<int>(ui::ModalResult::Ok));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();

    const auto calls = sent();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], defaultArgs()) << show(calls[0]);
    // The stored criteria are exactly what was sent after the company.
    EXPECT_EQ(frmLancFiltro->FCriterios.toArgs(QStringLiteral("01")), calls[0]);
    EXPECT_TRUE(frmLancFiltro->FCriterios.hasPeriod());

    // The list is the screen's: today's two lines, the form tab usable, browse mode.
    TfrmLancamento& s = screen();
    EXPECT_EQ(s.cdsLancCont.recordCount(), 2);
    EXPECT_TRUE(s.cdsCentCustFil.active());
    EXPECT_TRUE(s.tshFormulario.enabled());
    EXPECT_TRUE(s.FNavegacao);
    EXPECT_TRUE(s.FFiltroCriado);
    EXPECT_GE(ui_.busyTotal(), 2);  // creation of the screen, then the query
    EXPECT_EQ(ui_.busyDepth(), 0);
}

TEST_F(FilterDialogFixture, NoMatchingLineLeavesTheFormTabDisabled) {
    openFilter([](TfrmLancFiltro& d) {
        user::type(d.medDoc, QStringLiteral("999"));
        user::click(d.sbtConfirma);
    });
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0][10], Value::fromString(u"999"));
    EXPECT_TRUE(screen().cdsLancCont.active());
    EXPECT_EQ(screen().cdsLancCont.recordCount(), 0);
    EXPECT_FALSE(screen().tshFormulario.enabled());
}

// ---------------------------------------------------------------- values

struct ValueCase {
    const char* first;
    const char* last;
    const char* message;  // nullptr: the query is sent
    double sentFirst;
    double sentLast;
    const char* flag;
};

class ValueRules : public FilterDialogFixture, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ValueRules, LastValueRulesAndValueFlag) {
    const ValueCase c = GetParam();
    openFilter([&](TfrmLancFiltro& d) {
        user::type(d.edtValorIni, QString::fromUtf8(c.first));
        user::type(d.edtValorFim, QString::fromUtf8(c.last));
        user::click(d.sbtConfirma);
        if (c.message != nullptr) {
            EXPECT_TRUE(d.isShowing());
            EXPECT_EQ(d.activeControl(), &d.edtValorFim);
        }
    });
    if (c.message != nullptr) {
        EXPECT_EQ(nextMessage(), QString::fromUtf8(c.message));
        EXPECT_TRUE(sent().empty());
        EXPECT_FALSE(frmLancFiltro->FCriterios.hasPeriod());
        return;
    }
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    ASSERT_EQ(sent().size(), 1u);
    const auto calls = sent();
    const auto& a = calls[0];
    EXPECT_EQ(a[6], Value::fromNumber(c.sentFirst)) << show(a);
    EXPECT_EQ(a[7], Value::fromNumber(c.sentLast)) << show(a);
    EXPECT_EQ(a[8], Value::fromString(QString::fromUtf8(c.flag))) << show(a);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ValueRules,
    ::testing::Values(
        ValueCase{"100", "", nullptr, 100, 100, ""}, ValueCase{"100", "0", nullptr, 100, 100, ""},
        ValueCase{"100", "100", nullptr, 100, 100, ""},
        ValueCase{"100", "50", "Valor final deve ser igual ou maior que o valor inicial.", 0, 0, ""},
        ValueCase{"0", "0", nullptr, 0, 0, "T"}, ValueCase{"", "", nullptr, 0, 0, "T"},
        ValueCase{"0", "50", nullptr, 0, 50, ""}, ValueCase{"10,005", "20,004", nullptr, 10.01, 20, ""}));

TEST_F(FilterDialogFixture, ConfirmWritesTheRoundedValuesBack) {
    openFilter([](TfrmLancFiltro& d) {
        user::type(d.edtValorIni, QStringLiteral("1234,567"));
        user::type(d.edtValorFim, QStringLiteral("2000"));
        user::click(d.sbtConfirma);
        EXPECT_EQ(d.edtValorIni.text(), QStringLiteral("1234,57"));
        EXPECT_EQ(d.edtValorFim.text(), QStringLiteral("2000,00"));
    });
    ASSERT_EQ(sent().size(), 1u);
}

TEST_F(FilterDialogFixture, LeavingTheFirstValueCopiesItOverTheLastOne) {
    openFilter([](TfrmLancFiltro& d) {
        user::type(d.edtValorIni, QStringLiteral("150"));
        user::type(d.edtValorFim, QStringLiteral("70"));
        user::focus(d.edtValorIni);
        user::focus(d.medDoc);
        EXPECT_EQ(d.edtValorFim.text(), QStringLiteral("150"));
        d.sbtCancel.doClick();
    });
}

TEST_F(FilterDialogFixture, UnderscoreIsRefusedInBothValuesAndHistoryLettersBecomeCapitals) {
    openFilter([](TfrmLancFiltro& d) {
        user::type(d.edtValorIni, QStringLiteral("1_2"));
        EXPECT_EQ(d.edtValorIni.text(), QStringLiteral("12"));
        user::type(d.edtValorFim, QStringLiteral("_3_0_"));
        EXPECT_EQ(d.edtValorFim.text(), QStringLiteral("30"));
        QChar underscore = u'_';
        d.edtValorFim.onKeyPress(d.edtValorFim, underscore);
        EXPECT_TRUE(underscore.isNull());
        user::type(d.medHistLanc, QStringLiteral("aluguel ç zé 1-A"));
        EXPECT_EQ(d.medHistLanc.text(), QStringLiteral("ALUGUEL ç Zé 1-A"));
        user::click(d.sbtConfirma);
    });
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0][9], Value::fromString(u"ALUGUEL ç Zé 1-A"));
}

// ---------------------------------------------------------------- accounts

struct AccountCase {
    const char* first;
    const char* last;
    const char* message;  // nullptr: the query is sent
    const char* focus;
    const char* arg4;
    const char* arg5;
};

class AccountRules : public FilterDialogFixture, public ::testing::WithParamInterface<AccountCase> {};

TEST_P(AccountRules, RangeChecksAndLastAccountBound) {
    const AccountCase c = GetParam();
    openFilter([&](TfrmLancFiltro& d) {
        // Set from code: the exit checks are tested on their own.
        d.depIni.setFocus();
        d.medContCtblIn.setText(QString::fromUtf8(c.first));
        d.medContCtblFi.setText(QString::fromUtf8(c.last));
        user::click(d.sbtConfirma);
        if (c.message != nullptr) {
            EXPECT_TRUE(d.isShowing());
            ASSERT_NE(d.activeControl(), nullptr);
            EXPECT_EQ(d.activeControl()->name(), QString::fromUtf8(c.focus));
            // As typed: nothing was normalised into the fields.
            EXPECT_EQ(d.medContCtblIn.text(), QString::fromUtf8(c.first));
        }
    });
    if (c.message != nullptr) {
        EXPECT_EQ(nextMessage(), QString::fromUtf8(c.message));
        EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
        EXPECT_TRUE(sent().empty());
        return;
    }
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    ASSERT_EQ(sent().size(), 1u);
    const auto calls = sent();
    const auto& a = calls[0];
    EXPECT_EQ(a[3], Value::fromString(QString::fromUtf8(c.arg4))) << show(a);
    EXPECT_EQ(a[4], Value::fromString(QString::fromUtf8(c.arg5))) << show(a);
    EXPECT_EQ(a[5], a[4]);
}

INSTANTIATE_TEST_SUITE_P(
    Accounts, AccountRules,
    ::testing::Values(
        AccountCase{"", "", nullptr, "", "", "T"},
        AccountCase{"", "1.1.01", "Conta contábil inicial deve ser informada.", "medContCtblIn", "", ""},
        AccountCase{"1", "", "Conta contábil final deve ser informada.", "medContCtblFi", "", ""},
        AccountCase{"9", "1", "Conta contábil não cadastrada.", "medContCtblIn", "", ""},
        AccountCase{"1", "9", "Conta contábil não cadastrada.", "medContCtblFi", "", ""},
        AccountCase{"2", "1", "Conta contábil inicial deve ser menor ou igual a conta contábil final.",
                    "medContCtblIn", "", ""},
        AccountCase{"1.1.01", "1.1.01", nullptr, "", "1.1.01", "1.1.01ZZZZ"},
        AccountCase{"1", "2.1.01.001", nullptr, "", "1", "2.1.01.001"},
        AccountCase{"1.1", "2", nullptr, "", "1.1", "2ZZZZZZZZZ"}));

// The range is checked on the codes as typed, byte by byte: "1.1.1" (found as 1.1.01) sorts after
// "1.1.01.001" although the account it stands for comes first.
TEST_F(FilterDialogFixture, AccountsAreComparedAsTyped) {
    openFilter([this](TfrmLancFiltro& d) {
        user::type(d.medContCtblIn, QStringLiteral("1.1.1"));
        user::type(d.medContCtblFi, QStringLiteral("1.1.01.001"));
        EXPECT_TRUE(user::focus(d.medDoc));
        EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
        user::click(d.sbtConfirma);
        EXPECT_EQ(d.activeControl(), &d.medContCtblIn);
        EXPECT_EQ(d.medContCtblIn.text(), QStringLiteral("1.1.1"));
    });
    EXPECT_EQ(nextMessage(),
              QStringLiteral("Conta contábil inicial deve ser menor ou igual a conta contábil final."));
    EXPECT_TRUE(sent().empty());
}

// A code that does not fit the picture (a blank left inside it) is reported by ValidEx, with the focus
// put back on the field first; nothing is sent.
TEST_F(FilterDialogFixture, AnAccountThatDoesNotFitThePictureStopsConfirm) {
    openFilter([this](TfrmLancFiltro& d) {
        d.medDoc.setFocus();
        d.medContCtblIn.setText(QStringLiteral("1. .01"));
        d.medContCtblFi.setText(QStringLiteral("2"));
        user::click(d.sbtConfirma);
        EXPECT_TRUE(d.isShowing());
        EXPECT_EQ(d.activeControl(), &d.medContCtblIn);
        EXPECT_TRUE(nextMessage().startsWith(QStringLiteral("Conta contábil inválida")));
        d.sbtCancel.doClick();
    });
    EXPECT_TRUE(sent().empty());
}

TEST_F(FilterDialogFixture, LeavingAnAccountChecksItAgainstTheWholeChart) {
    openFilter([this](TfrmLancFiltro& d) {
        // Empty: no check at all.
        user::focus(d.medContCtblIn);
        EXPECT_TRUE(user::focus(d.medContCtblFi));
        // A synthetic account may start a range.
        user::type(d.medContCtblIn, QStringLiteral("1.1"));
        EXPECT_TRUE(user::focus(d.medDoc));
        EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
        // Unknown: back in the field, text as typed.
        user::type(d.medContCtblFi, QStringLiteral("9"));
        EXPECT_FALSE(user::focus(d.medDoc));
        EXPECT_EQ(nextMessage(), QStringLiteral("Conta contábil não cadastrada."));
        EXPECT_EQ(d.activeControl(), &d.medContCtblFi);
        EXPECT_EQ(d.medContCtblFi.text(), QStringLiteral("9"));
        // Typed without the leading zero: found as 1.1.01, kept as typed.
        user::type(d.medContCtblFi, QStringLiteral("1.1.1"));
        EXPECT_TRUE(user::focus(d.medDoc));
        EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
        EXPECT_EQ(d.medContCtblFi.text(), QStringLiteral("1.1.1"));
        d.sbtCancel.doClick();
    });
}

TEST_F(FilterDialogFixture, AccountLookupsListTheWholeChartAndFillTheirField) {
    openFilter([this](TfrmLancFiltro& d) {
        d.AbreQryContCtbl(QStringLiteral("1"), QString());  // narrowed by an earlier check
        ui_.queuePick({QStringLiteral("1.1.01")});
        user::click(d.BtnPesquisa1);
        ui_.queuePick({QStringLiteral("2.1.01.001")});
        user::click(d.BtnPesquisa2);
        EXPECT_EQ(d.medContCtblIn.text(), QStringLiteral("1.1.01"));
        EXPECT_EQ(d.medContCtblFi.text(), QStringLiteral("2.1.01.001"));
        ASSERT_EQ(ui_.requests.size(), 2u);
        EXPECT_EQ(ui_.requests[0].title, QStringLiteral("Conta Contábil"));
        EXPECT_EQ(ui_.requests[0].notFoundText, QStringLiteral("Não há conta contábil cadastrada."));
        EXPECT_EQ(ui_.requests[0].table, &d.qryContCtbl);
        EXPECT_EQ(d.qryContCtbl.recordCount(), 9);  // every account, synthetic ones included
        user::click(d.sbtConfirma);
    });
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0][3], Value::fromString(u"1.1.01"));
    EXPECT_EQ(sent()[0][4], Value::fromString(u"2.1.01.001"));
}

// ---------------------------------------------------------------- dates

struct DateCase {
    const char* first;
    const char* last;
    const char* message;
    const char* focus;
};

class DateRules : public FilterDialogFixture, public ::testing::WithParamInterface<DateCase> {};

TEST_P(DateRules, DateChecks) {
    const DateCase c = GetParam();
    openFilter([&](TfrmLancFiltro& d) {
        d.depIni.setText(QString::fromUtf8(c.first));
        d.depFim.setText(QString::fromUtf8(c.last));
        d.medDoc.setFocus();
        user::click(d.sbtConfirma);
        if (c.message != nullptr) {
            EXPECT_TRUE(d.isShowing());
            ASSERT_NE(d.activeControl(), nullptr);
            EXPECT_EQ(d.activeControl()->name(), QString::fromUtf8(c.focus));
        }
    });
    if (c.message != nullptr) {
        EXPECT_EQ(nextMessage(), QString::fromUtf8(c.message));
        EXPECT_TRUE(sent().empty());
        return;
    }
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0][1], Value::fromDate(QDate::fromString(QString::fromUtf8(c.first), u"dd/MM/yyyy")));
    EXPECT_EQ(sent()[0][2], Value::fromDate(QDate::fromString(QString::fromUtf8(c.last), u"dd/MM/yyyy")));
}

INSTANTIATE_TEST_SUITE_P(
    Dates, DateRules,
    ::testing::Values(
        DateCase{"", "08/12/2026", "Data de lançamento inicial deve ser informada.", "depIni"},
        DateCase{"08/12/2026", "", "Data de lançamento final deve ser informada.", "depFim"},
        DateCase{"31/02/2026", "08/12/2026", "Data inválida: 31/02/2026.", "depIni"},
        DateCase{"08/12/2026", "31/13/2026", "Data inválida: 31/13/2026.", "depFim"},
        DateCase{"08/12/2026", "01/12/2026",
                 "Data de lançamento inicial deve ser menor ou igual a data de lançamento final.", "depIni"},
        DateCase{"01/12/2026", "08/12/2026", nullptr, ""},
        DateCase{"08/12/2026", "08/12/2026", nullptr, ""}));

TEST_F(FilterDialogFixture, LeavingAnInvalidDateStopsThere) {
    openFilter([this](TfrmLancFiltro& d) {
        user::type(d.depFim, QStringLiteral("30/02/2026"));
        EXPECT_FALSE(user::focus(d.medDoc));
        EXPECT_EQ(nextMessage(), QStringLiteral("Data inválida: 30/02/2026."));
        EXPECT_EQ(d.activeControl(), &d.depFim);
        d.sbtCancel.doClick();
    });
}

// ---------------------------------------------------------------- list pairs

struct PairCase {
    const char* all;     // "Todos"/"Todas" radio
    const char* list;    // "Lista" radio
    const char* button;  // lookup button
    const char* key;     // a key to pick
    const char* missing;
    int argument;  // 0-based index of the list argument
};

const PairCase kPairs[] = {
    {"rbtTodos", "rbtLista", "sbtHist", "0001", "Histórico padrão deve ser informado.", 17},
    {"rbtTClie", "rbtClie", "sbtClie", "C001", "Cliente deve ser informado.", 15},
    {"rbtTForn", "rbtForn", "sbtForn", "F001", "Fornecedor deve ser informado.", 14},
    {"rbtTBanc", "rbtBanc", "sbtBanc", "B01", "Banco deve ser informado.", 13},
    {"rbtTFilial", "rbtLFilial", "btnFilial", "0001", "Filial deve ser informada.", 12},
    {"rbtTCentCust", "rbtLCentCust", "btnCentCust", "0010", "Centro de Custo deve ser informado.", 11},
};

class ListPairs : public FilterDialogFixture, public ::testing::WithParamInterface<PairCase> {
  protected:
    template <typename T>
    static T& find(ui::Form& f, const char* name) {
        return *dynamic_cast<T*>(f.findControl(QString::fromUtf8(name)));
    }
};

TEST_P(ListPairs, ListaWithNothingPickedIsRefusedWithTheFocusOnIt) {
    const PairCase c = GetParam();
    openFilter([&](TfrmLancFiltro& d) {
        auto& lista = find<ui::RadioButton>(d, c.list);
        user::click(lista);
        EXPECT_TRUE(find<ui::Control>(d, c.button).enabled());
        user::click(d.sbtConfirma);
        EXPECT_TRUE(d.isShowing());
        EXPECT_EQ(d.activeControl(), &lista);
    });
    EXPECT_EQ(nextMessage(), QString::fromUtf8(c.missing));
    EXPECT_TRUE(sent().empty());
}

TEST_P(ListPairs, PickedListIsSentAsPickedAndTodosEmptiesIt) {
    const PairCase c = GetParam();
    openFilter([&](TfrmLancFiltro& d) {
        auto& todos = find<ui::RadioButton>(d, c.all);
        auto& lista = find<ui::RadioButton>(d, c.list);
        auto& button = find<ui::Control>(d, c.button);
        user::click(lista);
        ui_.queuePick({QString::fromUtf8(c.key)});
        user::click(button);
        // Back to "Todos" and again "Lista": the list is gone.
        user::click(todos);
        EXPECT_FALSE(button.enabled());
        user::click(lista);
        user::click(d.sbtConfirma);
        EXPECT_EQ(nextMessage(), QString::fromUtf8(c.missing));
        ui_.queuePick({QString::fromUtf8(c.key)});
        user::click(button);
        user::click(d.sbtConfirma);
    });
    ASSERT_EQ(sent().size(), 1u);
    const auto calls = sent();
    const auto& a = calls[0];
    EXPECT_EQ(a[static_cast<std::size_t>(c.argument)],
              Value::fromString(QStringLiteral("'%1'").arg(QString::fromUtf8(c.key))))
        << show(a);
    // Every other list stays "T".
    for (const PairCase& other : kPairs) {
        if (other.argument != c.argument) {
            EXPECT_EQ(a[static_cast<std::size_t>(other.argument)], Value::fromString(u"T")) << other.list;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pairs, ListPairs, ::testing::ValuesIn(kPairs),
                         [](const auto& info) { return std::string(info.param.list); });

TEST_F(FilterDialogFixture, ClientAndBankListsGiveTheirKindsWithSuppliersOnTodos) {
    openFilter([this](TfrmLancFiltro& d) {
        user::click(d.rbtClie);
        ui_.queuePick({QStringLiteral("C001"), QStringLiteral("C002")});
        user::click(d.sbtClie);
        user::click(d.rbtBanc);
        ui_.queuePick({QStringLiteral("B01")});
        user::click(d.sbtBanc);
        user::click(d.sbtConfirma);
    });
    ASSERT_EQ(sent().size(), 1u);
    const auto calls = sent();
    const auto& a = calls[0];
    EXPECT_EQ(a[13], Value::fromString(u"'B01'")) << show(a);
    EXPECT_EQ(a[14], Value::fromString(u"T"));
    EXPECT_EQ(a[15], Value::fromString(u"'C001','C002'"));
    EXPECT_EQ(a[16], Value::fromString(u"_C__B_"));
}

TEST_F(FilterDialogFixture, AllThreeCommercialListsGiveAllThreeKinds) {
    openFilter([this](TfrmLancFiltro& d) {
        for (auto [radio, button, key] :
             {std::tuple{&d.rbtClie, &d.sbtClie, "C002"}, std::tuple{&d.rbtForn, &d.sbtForn, "F001"},
              std::tuple{&d.rbtBanc, &d.sbtBanc, "B01"}}) {
            user::click(*radio);
            ui_.queuePick({QString::fromUtf8(key)});
            user::click(*button);
        }
        user::click(d.sbtConfirma);
    });
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0][16], Value::fromString(u"_C__F__B_"));
}

TEST_F(FilterDialogFixture, MultiSelectLookupsUseTheirQueriesCaptionsAndSources) {
    TfrmLancamento& s = screen();
    openFilter([&](TfrmLancFiltro& d) {
        const struct {
            ui::RadioButton* radio;
            TBtnPesquisa* button;
            ClientDataSet* table;
            const char* key;
            const char* title;
            const char* notFound;
        } rows[] = {
            {&d.rbtLista, &d.sbtHist, &s.qryHistPadr, "CDHISTPADR", "Histórico Padrão",
             "Não há histórico padrão cadastrado."},
            {&d.rbtClie, &d.sbtClie, &s.qryCliente, "CDCLIENTE", "Cliente", "Não há cliente cadastrado."},
            {&d.rbtForn, &d.sbtForn, &s.qryFornecedor, "CDFORNECED", "Fornecedor",
             "Não há fornecedor cadastrado."},
            {&d.rbtBanc, &d.sbtBanc, &s.qryBanco, "CDREDUCONT", "Banco", "Não há banco cadastrado."},
            // The journal-entry screen's catalog, keys matched as its TMessages matches them.
            {&d.rbtLFilial, &d.btnFilial, &d.qryFilial, "CDFILIAL", "Filial", "Filial não cadastrada."},
            {&d.rbtLCentCust, &d.btnCentCust, &d.qryCentCust, "CDCENTCUST", "Centro de Custo",
             "Mensagem não cadastrada: CentroCus_cad"},
        };
        for (const auto& r : rows) {
            SCOPED_TRACE(r.button->name().toStdString());
            user::click(*r.radio);
            ui_.queuePickNone();
            ui_.requests.clear();
            user::click(*r.button);
            ASSERT_EQ(ui_.requests.size(), 1u);
            const ui::LookupRequest& q = ui_.requests[0];
            EXPECT_EQ(q.table, r.table);
            EXPECT_EQ(q.keyField, QString::fromUtf8(r.key));
            EXPECT_EQ(q.title, QString::fromUtf8(r.title));
            EXPECT_EQ(q.notFoundText, QString::fromUtf8(r.notFound));
            EXPECT_TRUE(q.multiple);
        }
        // The bank lookup offers only the bank accounts of the screen's company.
        EXPECT_EQ(s.qryBanco.recordCount(), 1);
        EXPECT_EQ(s.qryHistPadr.recordCount(), 2);
        EXPECT_EQ(s.qryCliente.recordCount(), 2);
        d.sbtCancel.doClick();
    });
}

TEST_F(FilterDialogFixture, BankOfAnotherCompanyIsNotOffered) {
    openFilter([this](TfrmLancFiltro& d) {
        user::click(d.rbtBanc);
        ui_.queuePick({QStringLiteral("B02")});
        user::click(d.sbtBanc);
        EXPECT_TRUE(d.FListaBanc.isEmpty());
        d.sbtCancel.doClick();
    });
    ASSERT_EQ(ui_.problems().size(), 1u);
    EXPECT_TRUE(ui_.problems()[0].contains(QStringLiteral("B02")));
    ui_.clearProblems();
}

TEST_F(FilterDialogFixture, EmptyCandidateTableShowsTheNotFoundText) {
    QSqlQuery q(QSqlDatabase::database(connection_));
    ASSERT_TRUE(q.exec(QStringLiteral("DELETE FROM FORNECEDOR")));
    openFilter([this](TfrmLancFiltro& d) {
        user::click(d.rbtForn);
        user::click(d.sbtForn);
        EXPECT_EQ(nextMessage(), QStringLiteral("Não há fornecedor cadastrado."));
        EXPECT_TRUE(d.FListaForn.isEmpty());
        d.sbtCancel.doClick();
    });
}

// ---------------------------------------------------------------- opening, cancel, remembered criteria

TEST_F(FilterDialogFixture, CancelRemembersTheInputButLeavesTheScreenAndTheStoredCriteria) {
    openFilter([this](TfrmLancFiltro& d) {
        user::type(d.medDoc, QStringLiteral("123"));
        user::type(d.medContCtblIn, QStringLiteral("1"));
        user::type(d.medContCtblFi, QStringLiteral("1.1.01"));
        user::type(d.depIni, QStringLiteral("01/12/2026"));
        user::type(d.edtValorIni, QStringLiteral("10"));
        user::type(d.edtValorFim, QStringLiteral("20"));
        user::type(d.medLanc, QStringLiteral("202612000001"));
        user::click(d.rbtClie);
        ui_.queuePick({QStringLiteral("C001")});
        user::click(d.sbtClie);
        user::click(d.rbtLCentCust);
        ui_.queuePick({QStringLiteral("0010"), QStringLiteral("0020")});
        user::click(d.btnCentCust);
        user::click(d.sbtCancel);
        EXPECT_FALSE(d.isShowing());
    });
    EXPECT_TRUE(sent().empty());
    EXPECT_FALSE(frmLancFiltro->FCriterios.hasPeriod());
    EXPECT_FALSE(screen().cdsLancCont.active());
    EXPECT_EQ(frmLancFiltro->FFiltro.DocLanc.Documento, QStringLiteral("123"));

    openFilter([](TfrmLancFiltro& d) {
        EXPECT_EQ(d.activationCount(), 2);
        EXPECT_EQ(d.medDoc.text(), QStringLiteral("123"));
        EXPECT_EQ(d.medContCtblIn.text(), QStringLiteral("1"));
        EXPECT_EQ(d.medContCtblFi.text(), QStringLiteral("1.1.01"));
        EXPECT_EQ(d.depIni.text(), QStringLiteral("01/12/2026"));
        EXPECT_EQ(d.depFim.text(), QStringLiteral("08/12/2026"));
        EXPECT_EQ(d.edtValorIni.text(), QStringLiteral("10,00"));
        EXPECT_EQ(d.edtValorFim.text(), QStringLiteral("20,00"));
        EXPECT_EQ(d.medLanc.text(), QStringLiteral("202612000001"));
        EXPECT_TRUE(d.rbtClie.checked());
        EXPECT_FALSE(d.rbtTClie.checked());
        EXPECT_TRUE(d.sbtClie.enabled());
        EXPECT_EQ(d.FListaClie, QStringLiteral("'C001'"));
        EXPECT_TRUE(d.rbtLCentCust.checked());
        EXPECT_EQ(d.FListaCentCust, QStringLiteral("'0010','0020'"));
        EXPECT_TRUE(d.rbtTForn.checked());
        EXPECT_FALSE(d.sbtForn.enabled());
        user::click(d.sbtConfirma);
    });
    ASSERT_EQ(sent().size(), 1u);
    const auto calls = sent();
    const auto& a = calls[0];
    EXPECT_EQ(a[1], Value::fromDate(QDate(2026, 12, 1)));
    EXPECT_EQ(a[3], Value::fromString(u"1"));
    EXPECT_EQ(a[4], Value::fromString(u"1.1.01ZZZZ"));
    EXPECT_EQ(a[6], Value::fromNumber(10));
    EXPECT_EQ(a[7], Value::fromNumber(20));
    EXPECT_EQ(a[10], Value::fromString(u"123"));
    EXPECT_EQ(a[11], Value::fromString(u"'0010','0020'"));
    EXPECT_EQ(a[15], Value::fromString(u"'C001'"));
    EXPECT_EQ(a[16], Value::fromString(u"_C_"));
    EXPECT_EQ(a[18], Value::fromString(u"202612000001"));
    EXPECT_EQ(frmLancFiltro->FCriterios.toArgs(QStringLiteral("01")), a);
}

TEST_F(FilterDialogFixture, CancelAfterAConfirmKeepsTheConfirmedCriteria) {
    openFilter([](TfrmLancFiltro& d) { user::click(d.sbtConfirma); });
    const LancFilterArgs confirmed = frmLancFiltro->FCriterios;
    const int rows = screen().cdsLancCont.recordCount();
    openFilter([](TfrmLancFiltro& d) {
        user::type(d.medContCtblFi, QStringLiteral("1.1.01"));
        user::type(d.medContCtblIn, QStringLiteral(""));
        user::type(d.edtValorIni, QStringLiteral("5"));
        user::click(d.sbtCancel);
    });
    // The screen's refresh still sends what was confirmed, in the form it was sent.
    EXPECT_EQ(frmLancFiltro->FCriterios.toArgs(QStringLiteral("01")), confirmed.toArgs(QStringLiteral("01")));
    EXPECT_EQ(frmLancFiltro->FCriterios.contFimBound, QStringLiteral("T"));
    EXPECT_EQ(screen().cdsLancCont.recordCount(), rows);
    EXPECT_EQ(frmLancFiltro->FFiltro.Conta.ContFin, QStringLiteral("1.1.01"));
    EXPECT_EQ(sent().size(), 1u);
}

// A lookup or message box opened by the dialog and closed again is no new opening: the user's input
// and picked lists survive.
TEST_F(FilterDialogFixture, RestoreDoesNotRunAgainWhenTheFocusComesBackFromALookupOrMessage) {
    openFilter([this](TfrmLancFiltro& d) {
        user::type(d.medDoc, QStringLiteral("777"));
        user::click(d.rbtClie);
        ui_.queuePick({QStringLiteral("C002")});
        user::click(d.sbtClie);
        user::click(d.rbtForn);
        user::click(d.sbtConfirma);  // "Fornecedor deve ser informado." and back to the dialog
        EXPECT_EQ(nextMessage(), QStringLiteral("Fornecedor deve ser informado."));
        EXPECT_EQ(d.activationCount(), 1);
        EXPECT_EQ(d.medDoc.text(), QStringLiteral("777"));
        EXPECT_EQ(d.FListaClie, QStringLiteral("'C002'"));
        EXPECT_TRUE(d.rbtForn.checked());
        user::click(d.rbtTForn);
        user::click(d.sbtConfirma);
    });
    ASSERT_EQ(sent().size(), 1u);
    EXPECT_EQ(sent()[0][10], Value::fromString(u"777"));
    EXPECT_EQ(sent()[0][15], Value::fromString(u"'C002'"));
}

// The close box only hides the dialog: nothing is remembered, nothing is sent.
TEST_F(FilterDialogFixture, TheCloseBoxHidesWithoutSaving) {
    openFilter([](TfrmLancFiltro& d) {
        user::type(d.medDoc, QStringLiteral("42"));
        EXPECT_TRUE(user::close(d));
        EXPECT_FALSE(d.isShowing());
    });
    EXPECT_TRUE(frmLancFiltro->FFiltro.DocLanc.Documento.isEmpty());
    EXPECT_FALSE(frmLancFiltro->FFiltro.DataIni.isValid());
    EXPECT_TRUE(sent().empty());
    openFilter([](TfrmLancFiltro& d) {
        // The same dialog: restored from what was last remembered (nothing), dates back to today.
        EXPECT_EQ(d.activationCount(), 2);
        EXPECT_TRUE(d.medDoc.text().isEmpty());
        EXPECT_EQ(d.depIni.text(), QStringLiteral("08/12/2026"));
        d.sbtCancel.doClick();
    });
}

TEST_F(FilterDialogFixture, ANewDialogAfterACompanyEditStartsEmpty) {
    openFilter([](TfrmLancFiltro& d) {
        user::type(d.medDoc, QStringLiteral("55"));
        user::click(d.sbtCancel);
    });
    TfrmLancFiltro* first = frmLancFiltro;
    screen().FFiltroCriado = false;  // what editing the company code does
    openFilter([](TfrmLancFiltro& d) {
        EXPECT_TRUE(d.medDoc.text().isEmpty());
        EXPECT_EQ(d.activationCount(), 1);
        user::click(d.sbtCancel);
    });
    EXPECT_NE(frmLancFiltro, first);
}

class CompanyWithoutOptions : public FilterDialogFixture,
                              public ::testing::WithParamInterface<const char*> {};

// 02 has no accounting options at all, 03 has them as "N".
TEST_P(CompanyWithoutOptions, EveryOpeningResetsTheCommercialAndManagerialPairs) {
    setSession(GetParam());
    openFilter([this](TfrmLancFiltro& d) {
        // The history pair stays usable: a list can be picked and remembered by Cancel.
        EXPECT_TRUE(d.rbtLista.enabled());
        EXPECT_FALSE(d.rbtClie.enabled());
        EXPECT_FALSE(d.rbtTForn.enabled());
        EXPECT_FALSE(d.sbtBanc.enabled());
        EXPECT_FALSE(d.rbtLFilial.enabled());
        EXPECT_FALSE(d.rbtLCentCust.enabled());
        user::click(d.rbtLista);
        ui_.queuePick({QStringLiteral("0002")});
        user::click(d.sbtHist);
        EXPECT_EQ(d.FListaHist, QStringLiteral("'0002'"));
        user::click(d.sbtCancel);
    });
    TfrmLancFiltro& dialog = *frmLancFiltro;
    EXPECT_TRUE(dialog.FFiltro.Historico.HistLista);
    // Remembered lists the company does not use.
    dialog.FFiltro.Cliente.ClieLista = true;
    dialog.FFiltro.Cliente.Clie = QStringLiteral("'C001'");
    dialog.FFiltro.Banco.BancLista = true;
    dialog.FFiltro.Banco.Banc = QStringLiteral("'B01'");
    dialog.FFiltro.Filial.FilialLista = true;
    dialog.FFiltro.Filial.Filial = QStringLiteral("'0001'");
    openFilter([](TfrmLancFiltro& d) {
        EXPECT_TRUE(d.rbtTodos.checked());
        EXPECT_FALSE(d.rbtLista.checked());
        EXPECT_FALSE(d.sbtHist.enabled());
        EXPECT_TRUE(d.FListaHist.isEmpty());
        EXPECT_TRUE(d.rbtTClie.checked());
        EXPECT_TRUE(d.FListaClie.isEmpty());
        EXPECT_TRUE(d.rbtTBanc.checked());
        EXPECT_TRUE(d.FListaBanc.isEmpty());
        EXPECT_TRUE(d.rbtTFilial.checked());
        EXPECT_TRUE(d.FListaFilial.isEmpty());
        EXPECT_FALSE(d.btnFilial.enabled());
        user::click(d.sbtConfirma);
    });
    ASSERT_EQ(sent().size(), 1u);
    auto expected = defaultArgs();
    expected[0] = Value::fromString(QString::fromUtf8(GetParam()));
    EXPECT_EQ(sent()[0], expected) << show(sent()[0]);
}

INSTANTIATE_TEST_SUITE_P(Companies, CompanyWithoutOptions, ::testing::Values("02", "03"));

// ---------------------------------------------------------------- server failures

class RefusingServer : public FilterDialogFixture {
  protected:
    void SetUp() override {
        rowLimit_ = 1;
        FilterDialogFixture::SetUp();
    }
};

TEST_F(RefusingServer, ARefusalIsShownAndNothingIsLoaded) {
    openFilter([this](TfrmLancFiltro& d) {
        user::type(d.edtValorIni, QStringLiteral("99,999"));
        user::click(d.sbtConfirma);
        EXPECT_TRUE(d.isShowing());
        EXPECT_EQ(nextMessage(),
                  QStringLiteral("A consulta retornou mais de 1 linhas. Informe um filtro mais restrito."));
        EXPECT_EQ(ui_.busyDepth(), 0);
        // Saved before the call, rounded by it; the input stays as typed otherwise.
        EXPECT_EQ(d.FFiltro.Valor.ValorIni, 100.0);
        EXPECT_EQ(d.edtValorIni.text(), QStringLiteral("100,00"));
        d.sbtCancel.doClick();
    });
    EXPECT_EQ(sent().size(), 1u);
    EXPECT_FALSE(frmLancFiltro->FCriterios.hasPeriod());
    EXPECT_FALSE(screen().cdsLancCont.active());
}

TEST_F(FilterDialogFixture, AFailedCallIsReportedAndTheScreenKeepsItsList) {
    openFilter([](TfrmLancFiltro& d) { user::click(d.sbtConfirma); });
    const LancFilterArgs confirmed = frmLancFiltro->FCriterios;
    ASSERT_EQ(screen().cdsLancCont.recordCount(), 2);
    proxy_->failNext("getLancamentos");
    openFilter([this](TfrmLancFiltro& d) {
        user::type(d.depIni, QStringLiteral("01/12/2026"));
        user::click(d.sbtConfirma);
        EXPECT_TRUE(d.isShowing());
        EXPECT_EQ(nextMessage(), QStringLiteral("Falha simulada no servidor."));
        EXPECT_EQ(ui_.busyDepth(), 0);
        d.sbtCancel.doClick();
    });
    EXPECT_EQ(sent().size(), 2u);
    EXPECT_EQ(screen().cdsLancCont.recordCount(), 2);
    EXPECT_EQ(frmLancFiltro->FCriterios.dtIni, confirmed.dtIni);
}

}  // namespace
}  // namespace ctb::ctb10000
