#pragma once

#include "platform/dataset/client_dataset.h"

#include <QString>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace ctb::test {

// The entry-line record shared by the journal tables, plus IDSISTEMA as the list table has it.
inline void declareEntryLine(ClientDataSet& t, bool withSystem = true) {
    t.addStringField(QStringLiteral("CDEMPRESA"), 2);
    t.addStringField(QStringLiteral("NRLANCCONT"), 12);
    t.addStringField(QStringLiteral("NRSEQLANC"), 5);
    t.addStringField(QStringLiteral("CDCONTCTBL"), 20);
    t.addStringField(QStringLiteral("NMCONTCTBL"), 40);
    t.addDateTimeField(QStringLiteral("DTLANCCONT"));
    t.addFloatField(QStringLiteral("CREDITO"));
    t.addFloatField(QStringLiteral("DEBITO"));
    t.addFloatField(QStringLiteral("VRLANCAMENT"));
    t.addStringField(QStringLiteral("CDDOCUCONT"), 20);
    t.addStringField(QStringLiteral("DSHISTLANC"), 600);
    t.addStringField(QStringLiteral("CDCONTCOME"), 21);
    t.addStringField(QStringLiteral("IDLANCINTE"), 1);
    t.addStringField(QStringLiteral("CDCONTREDU"), 20);
    t.addStringField(QStringLiteral("IDTIPOLANC"), 1);
    t.addStringField(QStringLiteral("CDHISTPADR"), 4);
    t.addStringField(QStringLiteral("IDLANCCOME"), 1);
    if (withSystem)
        t.addStringField(QStringLiteral("IDSISTEMA"), 3);
}

// A small keyed table: CODE string(4), NAME string(30), VALUE float.
inline void declareSimple(ClientDataSet& t) {
    t.addStringField(QStringLiteral("CODE"), 4);
    t.addStringField(QStringLiteral("NAME"), 30);
    t.addFloatField(QStringLiteral("VALUE"));
}

inline void addSimple(ClientDataSet& t, const QString& code, const QString& name, double value) {
    t.append();
    t.fieldByName(u"CODE").setAsString(code);
    t.fieldByName(u"NAME").setAsString(name);
    t.fieldByName(u"VALUE").setAsFloat(value);
    t.post();
}

inline std::vector<QString> column(ClientDataSet& t, const QString& field) {
    std::vector<QString> out;
    const int n = t.viewRowCount();
    const int f = t.fieldByName(field).index();
    for (int i = 0; i < n; ++i)
        out.push_back(t.textAt(i, f));
    return out;
}

struct Abort : std::runtime_error {
    Abort() : std::runtime_error("abort") {}
};

// Records every table event, data-source state change and observer call, in order.
class EventLog : public DataSetObserver {
  public:
    explicit EventLog(ClientDataSet& t) : table_(t), source_(&t) {
        hook(t.beforeInsert, "BeforeInsert");
        hook(t.afterInsert, "AfterInsert");
        hook(t.onNewRecord, "OnNewRecord");
        hook(t.beforeEdit, "BeforeEdit");
        hook(t.afterEdit, "AfterEdit");
        hook(t.beforePost, "BeforePost");
        hook(t.afterPost, "AfterPost");
        hook(t.beforeCancel, "BeforeCancel");
        hook(t.afterCancel, "AfterCancel");
        hook(t.beforeDelete, "BeforeDelete");
        hook(t.afterDelete, "AfterDelete");
        hook(t.beforeScroll, "BeforeScroll");
        hook(t.afterScroll, "AfterScroll");
        source_.onStateChange = [this](DataSource& s) { events.push_back("State:" + stateName(s.state())); };
        t.addObserver(this);
    }
    ~EventLog() override { table_.removeObserver(this); }

    static std::string stateName(DataSetState s) {
        switch (s) {
            case DataSetState::Inactive:
                return "inactive";
            case DataSetState::Browse:
                return "browse";
            case DataSetState::Edit:
                return "edit";
            case DataSetState::Insert:
                return "insert";
        }
        return "?";
    }

    // Makes the named event throw Abort (after recording it).
    void failOn(const std::string& name) { failing = name; }

    void aboutToReset() override { observed.push_back("aboutToReset"); }
    void reset() override { observed.push_back("reset"); }
    void rowAboutToBeInserted(int r) override { observed.push_back("aboutToInsert " + std::to_string(r)); }
    void rowInserted(int r) override { observed.push_back("inserted " + std::to_string(r)); }
    void rowAboutToBeRemoved(int r) override { observed.push_back("aboutToRemove " + std::to_string(r)); }
    void rowRemoved(int r) override { observed.push_back("removed " + std::to_string(r)); }
    void rowChanged(int r) override { observed.push_back("changed " + std::to_string(r)); }
    void currentRowChanged(int r) override { observed.push_back("current " + std::to_string(r)); }
    void stateChanged(DataSetState s) override { observed.push_back("state " + stateName(s)); }
    void focusFieldRequested(Field& f) override {
        observed.push_back("focus " + f.fieldName().toStdString());
    }

    std::vector<std::string> events;
    std::vector<std::string> observed;
    std::string failing;

  private:
    void hook(DataSetNotifyEvent& e, const char* name) {
        e = [this, name](ClientDataSet&) {
            events.emplace_back(name);
            if (failing == name)
                throw Abort();
        };
    }

    ClientDataSet& table_;
    DataSource source_;
};

}  // namespace ctb::test
