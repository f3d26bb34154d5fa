#include "db/reference_data.h"

#include "db/batch_insert.h"

namespace ctb::db::detail {
namespace {

QString s(const char* text) {
    return QString::fromUtf8(text);
}

// Registration numbers with valid check digits (CPF for individuals, CNPJ for companies).
QString withCheckDigits(QString base, const std::vector<int>& w1, const std::vector<int>& w2) {
    for (const auto* weights : {&w1, &w2}) {
        int sum = 0;
        for (std::size_t i = 0; i < weights->size(); ++i)
            sum += (base.at(static_cast<qsizetype>(i)).unicode() - u'0') * (*weights)[i];
        const int r = sum % 11;
        base += QString::number(r < 2 ? 0 : 11 - r);
    }
    return base;
}
QString cpf(const char* nine) {
    return withCheckDigits(s(nine), {10, 9, 8, 7, 6, 5, 4, 3, 2}, {11, 10, 9, 8, 7, 6, 5, 4, 3, 2});
}
QString cnpj(const char* twelve) {
    return withCheckDigits(s(twelve), {5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2},
                           {6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2});
}

}  // namespace

const std::vector<Company>& companies() {
    static const std::vector<Company> list = {
        {s("01"),
         s("Comercial Araújo & Filhos Ltda."),
         true,
         s("S"),
         s("S"),
         s("N"),
         12,
         18,
         60,
         {s("0001"), s("0002"), s("0003")}},
        {s("02"), s("Indústria Metalúrgica São Jorge S.A."), false, {}, {}, {}, 3, 5, 0, {}},
        {s("03"),
         s("Ipiranga Serviços Contábeis Ltda."),
         true,
         s("N"),
         s("N"),
         s("S"),
         5,
         8,
         20,
         {s("0004")}},
        {s("04"), s("Transportadora Boa Viagem Ltda."), true, s("N"), s("S"), s("S"), 5, 8, 20, {s("0001")}},
    };
    return list;
}

void periodOf(const Company& c, QDate today, QDate* from, QDate* to) {
    if (c.code == QStringLiteral("03")) {
        *from = QDate(today.year(), 1, 1);
        *to = QDate(today.year(), 12, 31);
    } else {
        // The last twelve months are open, the twelve before are closed: the period guard shows.
        *from = QDate(today.year(), today.month(), 1).addMonths(-11);
        *to = QDate(today.year() + 1, 12, 31);
    }
}

const std::vector<Account>& accounts() {
    // Allocation flag: G, L, R take allocations; N (another letter) drops them; "" empty; "-" NULL.
    static const std::vector<Account> list = {
        {s("1"), {}, s("ATIVO"), s("-"), {}, {}},
        {s("1.1"), {}, s("ATIVO CIRCULANTE"), s("-"), {}, {}},
        {s("1.1.01"), {}, s("DISPONÍVEL"), s("-"), {}, {}},
        {s("1.1.01.001"), s("101"), s("Caixa Geral"), s(""), {}, {}},
        {s("1.1.01.002"), s("102"), s("Bancos Conta Movimento"), s("-"), s("B"), {}},
        {s("1.1.01.003"), s("103"), s("Aplicações Financeiras"), s("-"), s("B"), {}},
        {s("1.1.02"), {}, s("CLIENTES"), s("-"), {}, {}},
        {s("1.1.02.001"), s("111"), s("Clientes Nacionais"), s("-"), s("C"), {}},
        {s("1.1.03"), {}, s("ESTOQUES"), s("-"), {}, {}},
        {s("1.1.03.001"), s("121"), s("Mercadorias para Revenda"), s("L"), {}, s("001")},
        {s("1.1.04"), {}, s("TRIBUTOS A RECUPERAR"), s("-"), {}, {}},
        {s("1.1.04.001"), s("131"), s("ICMS a Recuperar"), s("-"), {}, {}},
        {s("1.1.04.002"), s("132"), s("PIS a Recuperar"), s("-"), {}, {}},
        {s("1.2"), {}, s("ATIVO NÃO CIRCULANTE"), s("-"), {}, {}},
        {s("1.2.01"), {}, s("IMOBILIZADO"), s("-"), {}, {}},
        {s("1.2.01.001"), s("141"), s("Máquinas e Equipamentos"), s("R"), {}, s("002")},
        {s("1.2.01.002"), s("142"), s("Veículos"), s("R"), {}, s("002")},
        {s("1.2.01.003"), s("143"), s("(-) Depreciação Acumulada"), s("-"), {}, {}},
        {s("2"), {}, s("PASSIVO"), s("-"), {}, {}},
        {s("2.1"), {}, s("PASSIVO CIRCULANTE"), s("-"), {}, {}},
        {s("2.1.01"), {}, s("FORNECEDORES"), s("-"), {}, {}},
        {s("2.1.01.001"), s("211"), s("Fornecedores Nacionais"), s("-"), s("F"), {}},
        {s("2.1.02"), {}, s("OBRIGAÇÕES TRABALHISTAS"), s("-"), {}, {}},
        {s("2.1.02.001"), s("221"), s("Salários a Pagar"), s("-"), {}, {}},
        {s("2.1.02.002"), s("222"), s("INSS a Recolher"), s("-"), {}, {}},
        {s("2.1.02.003"), s("223"), s("FGTS a Recolher"), s("-"), {}, {}},
        {s("2.1.03"), {}, s("OBRIGAÇÕES FISCAIS"), s("-"), {}, {}},
        {s("2.1.03.001"), s("231"), s("ICMS a Recolher"), s("-"), {}, {}},
        {s("2.1.03.002"), s("232"), s("PIS a Recolher"), s("-"), {}, {}},
        {s("2.1.04"), {}, s("EMPRÉSTIMOS E FINANCIAMENTOS"), s("-"), {}, {}},
        {s("2.1.04.001"), s("241"), s("Empréstimos Bancários"), s("-"), s("B"), {}},
        {s("2.2"), {}, s("PATRIMÔNIO LÍQUIDO"), s("-"), {}, {}},
        {s("2.2.01"), {}, s("CAPITAL SOCIAL"), s("-"), {}, {}},
        {s("2.2.01.001"), s("251"), s("Capital Subscrito"), s("-"), {}, {}},
        {s("2.2.02"), {}, s("RESULTADOS ACUMULADOS"), s("-"), {}, {}},
        {s("2.2.02.001"), s("252"), s("Lucros Acumulados"), s("-"), {}, {}},
        {s("3"), {}, s("RECEITAS"), s("-"), {}, {}},
        {s("3.1"), {}, s("RECEITA OPERACIONAL"), s("-"), {}, {}},
        {s("3.1.01"), {}, s("RECEITA BRUTA"), s("-"), {}, {}},
        {s("3.1.01.001"), s("311"), s("Venda de Mercadorias"), s("G"), {}, s("003")},
        {s("3.1.01.002"), s("312"), s("Prestação de Serviços"), s("G"), {}, s("003")},
        {s("3.1.02"), {}, s("DEDUÇÕES DA RECEITA"), s("-"), {}, {}},
        {s("3.1.02.001"), s("321"), s("ICMS sobre Vendas"), s("-"), {}, {}},
        {s("3.1.02.002"), s("322"), s("Devoluções de Vendas"), s("N"), {}, {}},
        {s("3.1.03"), {}, s("RECEITAS FINANCEIRAS"), s("-"), {}, {}},
        {s("3.1.03.001"), s("331"), s("Juros Recebidos"), s("-"), s("B"), {}},
        {s("4"), {}, s("CUSTOS E DESPESAS"), s("-"), {}, {}},
        {s("4.1"), {}, s("CUSTOS"), s("-"), {}, {}},
        {s("4.1.01"), {}, s("CUSTO DAS VENDAS"), s("-"), {}, {}},
        {s("4.1.01.001"), s("411"), s("Custo das Mercadorias Vendidas"), s("G"), {}, s("004")},
        {s("4.2"), {}, s("DESPESAS OPERACIONAIS"), s("-"), {}, {}},
        {s("4.2.01"), {}, s("DESPESAS ADMINISTRATIVAS"), s("-"), {}, {}},
        {s("4.2.01.001"), s("421"), s("Salários e Ordenados"), s("G"), {}, s("005")},
        {s("4.2.01.002"), s("422"), s("Aluguéis"), s("R"), {}, s("005")},
        {s("4.2.01.003"), s("423"), s("Energia Elétrica"), s("L"), {}, s("005")},
        {s("4.2.01.004"), s("424"), s("Telefone e Internet"), s("N"), {}, {}},
        {s("4.2.01.005"), s("425"), s("Material de Escritório"), s(""), {}, {}},
        {s("4.2.01.006"), s("426"), s("Depreciação"), s("N"), {}, {}},
        {s("4.2.02"), {}, s("DESPESAS FINANCEIRAS"), s("-"), {}, {}},
        {s("4.2.02.001"), s("431"), s("Juros Pagos"), s("-"), s("B"), {}},
        {s("4.2.02.002"), s("432"), s("Tarifas Bancárias"), s("-"), s("B"), {}},
        {s("4.2.03"), {}, s("DESPESAS COM VENDAS"), s("-"), {}, {}},
        {s("4.2.03.001"), s("441"), s("Comissões sobre Vendas"), s("G"), {}, s("006")},
        {s("4.2.03.002"), s("442"), s("Fretes sobre Vendas"), s("-"), s("F"), {}},
    };
    return list;
}

const Account* findAccount(const QString& code) {
    for (const Account& a : accounts())
        if (a.code == code)
            return &a;
    return nullptr;
}

const std::vector<Party>& clients() {
    static const std::vector<Party> list = {
        {s("000001"), s("Padaria Pão Quente Ltda."), s("J"), cnpj("123456780001")},
        {s("000002"), s("José Carlos da Silva"), s("F"), cpf("123456789")},
        {s("000003"), s("Supermercado Bom Preço Ltda."), s("J"), cnpj("234567890001")},
        {s("000004"), s("Maria Aparecida Gonçalves"), s("F"), cpf("987654321")},
        {s("000005"), s("Construtora Horizonte S.A."), s("J"), cnpj("345678900001")},
        {s("000006"), s("Farmácia Saúde & Vida Ltda. ME"), s("J"), cnpj("456789010001")},
        {s("000007"), s("João Batista Pereira"), s("F"), cpf("456123789")},
        {s("000008"), s("Restaurante Sabor Mineiro Ltda."), s("J"), cnpj("567890120001")},
        {s("000009"), s("Antônia Ferreira de Souza"), s("F"), cpf("321654987")},
        {s("000010"), s("Auto Peças Irmãos Oliveira Ltda."), s("J"), cnpj("678901230001")},
    };
    return list;
}

const std::vector<Party>& suppliers() {
    static const std::vector<Party> list = {
        {s("000001"), s("Distribuidora Paulista Ltda."), s("J"), cnpj("112223330001")},
        {s("000002"), s("Atacadão do Vale S.A."), s("J"), cnpj("223334440001")},
        {s("000003"), s("Carlos Eduardo Mendes"), s("F"), cpf("741852963")},
        {s("000004"), s("Companhia Energética Regional"), s("J"), cnpj("334445550001")},
        {s("000005"), s("Transportes Rápido Sul Ltda."), s("J"), cnpj("445556660001")},
        {s("000006"), s("Imobiliária Central Ltda."), s("J"), cnpj("556667770001")},
        {s("000007"), s("Luíza Helena Cardoso"), s("F"), cpf("852963741")},
        {s("000008"), s("Papelaria Escolar Ltda. EPP"), s("J"), cnpj("667778880001")},
    };
    return list;
}

const std::vector<BankAccount>& bankAccounts() {
    static const std::vector<BankAccount> list = {
        {s("01"), s("001"), s("1234"), s("12345-6"), s("Conta Movimento"), s("1001")},
        {s("01"), s("237"), s("0450"), s("98765-0"), s("Cobrança"), s("1002")},
        {s("01"), s("341"), s("3100"), s("45678-9"), s("Aplicação"), s("1003")},
        {s("02"), s("104"), s("0987"), s("00321-4"), s("Conta Movimento"), s("2001")},
        {s("03"), s("033"), s("2020"), s("13131-3"), s("Conta Movimento"), s("3001")},
        {s("04"), s("001"), s("5678"), s("55555-5"), s("Conta Movimento"), s("4001")},
        {s("04"), s("341"), s("7000"), s("77777-1"), s("Folha de Pagamento"), s("4002")},
    };
    return list;
}

const std::vector<Branch>& branches() {
    static const std::vector<Branch> list = {
        {s("0001"), s("Matriz São Paulo"), {s("0010"), s("0020"), s("0050"), s("0060"), s("0070")}},
        {s("0002"), s("Filial Campinas"), {s("0020"), s("0030"), s("0040")}},
        {s("0003"), s("Filial Santos"), {s("0020"), s("0040")}},
        {s("0004"), s("Filial Belo Horizonte"), {s("0010"), s("0050")}},
        {s("0005"), s("Filial Curitiba"), {s("0030")}},
    };
    return list;
}

void insertReferenceData(const QSqlDatabase& db, QDate today) {
    {
        BatchInsert empresa(db, QStringLiteral("EMPRESA"),
                            {QStringLiteral("CDEMPRESA"), QStringLiteral("NMEMPRESA")});
        BatchInsert options(
            db, QStringLiteral("CONTOPECTBL"),
            {QStringLiteral("CDEMPRESA"), QStringLiteral("IDCONTGERE"), QStringLiteral("IDCONTCOME"),
             QStringLiteral("IDMSMCONTADBCR"), QStringLiteral("DTINICLANC"), QStringLiteral("DTFINALANC")});
        for (const Company& c : companies()) {
            empresa.add({c.code, c.name});
            if (!c.hasOptions)
                continue;
            QDate from, to;
            periodOf(c, today, &from, &to);
            options.add({c.code, c.managerial, c.commercial, c.sameAccount, from.toString(Qt::ISODate),
                         to.toString(Qt::ISODate)});
        }
        empresa.flush();
        options.flush();
    }
    {
        BatchInsert hist(db, QStringLiteral("HISTPADR"),
                         {QStringLiteral("CDHISTPADR"), QStringLiteral("DSHISTPADR")});
        const char* const histories[] = {"Pagamento a fornecedor",
                                         "Recebimento de cliente",
                                         "Venda de mercadorias conforme nota fiscal",
                                         "Compra de mercadorias conforme nota fiscal",
                                         "Folha de pagamento do mês",
                                         "Tarifa bancária",
                                         "Transferência entre contas",
                                         "Depreciação do mês",
                                         "Apuração de impostos do mês",
                                         "",
                                         "Aluguel do mês",
                                         "Despesas diversas",
                                         "Encerramento do exercício",
                                         "Frete sobre vendas",
                                         "Venda à vista",
                                         "Comissões sobre vendas"};
        int n = 0;
        for (const char* h : histories)
            hist.add({QStringLiteral("%1").arg(++n, 4, 10, QLatin1Char('0')), s(h)});
        hist.flush();
    }
    {
        BatchInsert filial(db, QStringLiteral("FILIAL"),
                           {QStringLiteral("CDFILIAL"), QStringLiteral("NMFILIAL")});
        for (const Branch& b : branches())
            filial.add({b.code, b.name});
        filial.flush();
        BatchInsert cc(db, QStringLiteral("CENTCUST"),
                       {QStringLiteral("CDCENTCUST"), QStringLiteral("NMCENTCUST")});
        const char* const centres[] = {"Administração",   "Comercial",  "Produção",
                                       "Logística",       "Financeiro", "Tecnologia da Informação",
                                       "Recursos Humanos"};
        int n = 0;
        for (const char* c : centres)
            cc.add({QStringLiteral("%1").arg(n += 10, 4, 10, QLatin1Char('0')), s(c)});
        cc.flush();
        BatchInsert ccf(db, QStringLiteral("CENTCUSTFIL"),
                        {QStringLiteral("CDFILIAL"), QStringLiteral("CDCENTCUST")});
        for (const Branch& b : branches())
            for (const QString& c : b.costCentres)
                ccf.add({b.code, c});
        ccf.flush();
        BatchInsert ef(db, QStringLiteral("EMPRFILIAL"),
                       {QStringLiteral("CDEMPRESA"), QStringLiteral("CDFILIAL")});
        for (const Company& c : companies())
            for (const QString& b : c.branches)
                ef.add({c.code, b});
        ef.flush();
    }
    {
        BatchInsert chart(
            db, QStringLiteral("CONTCTBL"),
            {QStringLiteral("CDCONTCTBL"), QStringLiteral("CDCONTREDU"), QStringLiteral("NMCONTCTBL"),
             QStringLiteral("CDRATEIO"), QStringLiteral("CDNVCONTCTBL"), QStringLiteral("IDTIPOCONT"),
             QStringLiteral("IDCONTCCUS"), QStringLiteral("IDTIPOCOME")});
        for (const Account& a : accounts()) {
            const bool synthetic = a.reduced.isEmpty();
            chart.add({a.code, textOrNull(a.reduced), a.name, textOrNull(a.rateio),
                       QString::number(a.code.count(u'.') + 1),
                       synthetic ? QStringLiteral("S") : QStringLiteral("A"),
                       a.allocation == QStringLiteral("-") ? nullText() : QVariant(a.allocation),
                       textOrNull(a.commercial)});
        }
        chart.flush();
    }
    {
        BatchInsert cli(db, QStringLiteral("CLIENTE"),
                        {QStringLiteral("CDCLIENTE"), QStringLiteral("NMRAZSOCCLIE"),
                         QStringLiteral("NRINSJURCLIE"), QStringLiteral("IDTPIJURCLIE")});
        for (const Party& p : clients())
            cli.add({p.code, p.name, p.registration, p.kind});
        cli.flush();
        BatchInsert forn(db, QStringLiteral("FORNECEDOR"),
                         {QStringLiteral("CDFORNECED"), QStringLiteral("NRINSJURFORN"),
                          QStringLiteral("NMRAZSOCFORN"), QStringLiteral("IDTPIJURFORN")});
        for (const Party& p : suppliers())
            forn.add({p.code, p.registration, p.name, p.kind});
        forn.flush();
        BatchInsert banco(db, QStringLiteral("BANCO"),
                          {QStringLiteral("CDBANCO"), QStringLiteral("NMBANCO")});
        banco.add({s("001"), s("Banco do Brasil S.A.")});
        banco.add({s("033"), s("Banco Santander (Brasil) S.A.")});
        banco.add({s("104"), s("Caixa Econômica Federal")});
        banco.add({s("237"), s("Banco Bradesco S.A.")});
        banco.add({s("341"), s("Itaú Unibanco S.A.")});
        banco.flush();
        BatchInsert cc(
            db, QStringLiteral("CONTCORR"),
            {QStringLiteral("CDEMPRESA"), QStringLiteral("CDBANCO"), QStringLiteral("CDAGENCIA"),
             QStringLiteral("CDCONTCORR"), QStringLiteral("DSCONTCORR"), QStringLiteral("CDREDUCONT")});
        for (const BankAccount& b : bankAccounts())
            cc.add({b.company, b.bank, b.agency, b.account, b.description, b.reduced});
        cc.flush();
    }
}

}  // namespace ctb::db::detail
