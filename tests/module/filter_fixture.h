#pragma once

// Shared by the filter dialog's tests: the module fixture on reference rows of their own, with the
// arguments of every getLancamentos call actually sent.

#include "tests/module/module_fixture.h"

#include <string>
#include <vector>

namespace ctb::ctb10000::filtertest {

using wire::Value;

// Companies: 01 commercial and managerial, 02 without accounting options, 03 neither. Lines of 01 on
// 2026-12-08 (two) and 2026-12-01 (two).
inline const char* const kReferenceRows[] = {
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('01', 'Filtro Um Ltda')",
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('02', 'Filtro Dois S.A.')",
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('03', 'Filtro Três Ltda')",
    "INSERT INTO CONTOPECTBL (CDEMPRESA, IDCONTGERE, IDCONTCOME, IDMSMCONTADBCR, DTINICLANC, DTFINALANC) "
    "VALUES ('01', 'S', 'S', 'N', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTOPECTBL (CDEMPRESA, IDCONTGERE, IDCONTCOME, IDMSMCONTADBCR, DTINICLANC, DTFINALANC) "
    "VALUES ('03', 'N', 'N', 'N', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('1', NULL, 'ATIVO', '1', 'S')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('1.1', NULL, 'CIRCULANTE', '2', 'S')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('1.1.01', NULL, 'DISPONÍVEL', '3', 'S')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('1.1.01.001', '10', 'CAIXA', '4', 'A')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT, IDTIPOCOME) "
    "VALUES ('1.1.01.002', '11', 'BANCOS', '4', 'A', 'B')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('2', NULL, 'PASSIVO', '1', 'S')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT, IDTIPOCOME) "
    "VALUES ('2.1.01.001', '20', 'FORNECEDORES', '4', 'A', 'F')",
    // Codes of an installation whose picture is 99.99.999.
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('02', NULL, 'GRUPO DOIS', '1', 'S')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('10', NULL, 'GRUPO DEZ', '1', 'S')",
    "INSERT INTO HISTPADR (CDHISTPADR, DSHISTPADR) VALUES ('0001', 'PAGAMENTO')",
    "INSERT INTO HISTPADR (CDHISTPADR, DSHISTPADR) VALUES ('0002', 'RECEBIMENTO')",
    "INSERT INTO CLIENTE (CDCLIENTE, NMRAZSOCCLIE, NRINSJURCLIE, IDTPIJURCLIE) "
    "VALUES ('C001', 'CLIENTE UM', '12345678000190', 'J')",
    "INSERT INTO CLIENTE (CDCLIENTE, NMRAZSOCCLIE, NRINSJURCLIE, IDTPIJURCLIE) "
    "VALUES ('C002', 'CLIENTE DOIS', '12345678901', 'F')",
    "INSERT INTO FORNECEDOR (CDFORNECED, NRINSJURFORN, NMRAZSOCFORN, IDTPIJURFORN) "
    "VALUES ('F001', '98765432000110', 'FORNECEDOR UM', 'J')",
    "INSERT INTO BANCO (CDBANCO, NMBANCO) VALUES ('001', 'BANCO UM')",
    "INSERT INTO CONTCORR (CDEMPRESA, CDBANCO, CDAGENCIA, CDCONTCORR, DSCONTCORR, CDREDUCONT) "
    "VALUES ('01', '001', '0001', '12345', 'CONTA DA 01', 'B01')",
    "INSERT INTO CONTCORR (CDEMPRESA, CDBANCO, CDAGENCIA, CDCONTCORR, DSCONTCORR, CDREDUCONT) "
    "VALUES ('02', '001', '0002', '99999', 'CONTA DA 02', 'B02')",
    "INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('0001', 'MATRIZ')",
    "INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('0002', 'FILIAL SUL')",
    "INSERT INTO CENTCUST (CDCENTCUST, NMCENTCUST) VALUES ('0010', 'ADMINISTRATIVO')",
    "INSERT INTO CENTCUST (CDCENTCUST, NMCENTCUST) VALUES ('0020', 'COMERCIAL')",
    "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
    "CDDOCUCONT, "
    "DSHISTLANC, IDLANCINTE, IDTIPOLANC) VALUES ('01', '202612000001', '00001', '1.1.01.001', '2026-12-08', "
    "-100, 'NF1', 'PAGAMENTO DE ALUGUEL', 'M', 'D')",
    "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
    "CDDOCUCONT, "
    "DSHISTLANC, IDLANCINTE, IDTIPOLANC) VALUES ('01', '202612000001', '00002', '2.1.01.001', '2026-12-08', "
    "100, 'NF1', 'PAGAMENTO DE ALUGUEL', 'M', 'C')",
    "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
    "CDDOCUCONT, "
    "DSHISTLANC, IDLANCINTE, IDTIPOLANC) VALUES ('01', '202612000002', '00001', '1.1.01.001', '2026-12-01', "
    "-50, 'NF2', 'ENERGIA', 'M', 'D')",
    "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
    "CDDOCUCONT, "
    "DSHISTLANC, IDLANCINTE, IDTIPOLANC) VALUES ('01', '202612000002', '00002', '2.1.01.001', '2026-12-01', "
    "50, 'NF2', 'ENERGIA', 'M', 'C')",
};

inline std::string show(const std::vector<Value>& args) {
    return wire::encodeRequest(args);
}

// The nineteen arguments with every criterion open, for company 01 on the test's today.
inline std::vector<Value> defaultArgs() {
    const QDate today(2026, 12, 8);
    std::vector<Value> a = {Value::fromString(u"01"), Value::fromDate(today),  Value::fromDate(today),
                            Value::fromString(u""),   Value::fromString(u"T"), Value::fromString(u"T"),
                            Value::fromNumber(0),     Value::fromNumber(0)};
    for (int i = 0; i < 10; ++i)
        a.push_back(Value::fromString(u"T"));
    a.push_back(Value::fromString(u""));
    return a;
}

template <typename Ui>
class FilterFixtureBase : public moduletest::ModuleFixture<Ui> {
  protected:
    FilterFixtureBase() : moduletest::ModuleFixture<Ui>(QStringLiteral("filter_dialog")) {}
    [[nodiscard]] QStringList databaseRows() const override {
        QStringList rows;
        for (const char* sql : kReferenceRows)
            rows << QString::fromUtf8(sql);
        return rows;
    }
    [[nodiscard]] std::vector<std::vector<Value>> sent() { return this->proxy_->argsOf("getLancamentos"); }
};

}  // namespace ctb::ctb10000::filtertest
