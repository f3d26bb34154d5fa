#pragma once

// The in-memory table the screens bind: declared fields, browse/edit/insert states with an edit
// buffer kept apart from the committed rows, the classic event set, filter text, multi-key locate,
// index order, change count, display suspension and the whole table as one data packet.
//
// Error policy: every refused operation throws DataSetError (FilterError for a bad filter text) with a
// Portuguese message and leaves the table as it was. Exceptions thrown by event handlers propagate to
// the caller unchanged; a Before handler that throws leaves table, state and cursor untouched.
//
// Semantics worth knowing (they follow the classic component):
// - Moving the cursor (first/last/next/prior/setRecNo/locate), insert/append, a filter or index change
//   and emptyDataSet first end a pending edit: it is posted when a field was set since edit/insert
//   began (modified()), otherwise it is cancelled. If that post throws, nothing else happens.
// - Field values written by OnNewRecord do not count as a modification; those written by AfterInsert do.
// - edit() on a table with no visible row starts an insert; edit() while editing does nothing.
// - remove() while inserting cancels the insert; remove() while editing discards the edit and deletes.
// - Cancelling an insert removes the pending row and puts the cursor back where it was.
// - A field's OnChange runs only when the stored value really changes (after the size cut); setting
//   the same value again is not a change.
// - AfterScroll runs: after open/createDataSet/setData, emptyDataSet, first and last (always), next and
//   prior (when the row changes), setRecNo to another row, a successful locate, insert/append, cancel
//   of an insert, delete, a filter change or switch, and a post whose row the filter now hides (the
//   cursor moves to the following visible row). BeforeScroll runs before each of the moves above that
//   a caller asks for (not before open, setData, emptyDataSet or a post).
// - A filter change or switch puts the cursor on the first visible row; an index change keeps it on
//   the same record; a post under an index moves the record to its key position, cursor following.
// - An After handler that throws leaves the operation done (the exception still propagates); an
//   OnNewRecord that throws undoes the insert.
// - changeCount() counts posts and deletes since the last merge, setData, createDataSet or
//   emptyDataSet (no per-record log, no undo). data() holds committed rows only.
// - close() drops the rows; open() on a closed table opens it empty.
// - recordCount()/isEmpty() count committed rows that the filter lets through; the pending row of an
//   insert is not counted (viewRowCount() includes it, for grids).
// - DataSource::onStateChange runs on every state change, also while controls are disabled, since
//   screens compute button states from it; observers and onDataChange wait for enableControls().

#include "platform/dataset/packet.h"
#include "platform/export.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QVariant>
#include <QVariantList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ctb {

enum class DataSetState : std::uint8_t { Inactive, Browse, Edit, Insert };

// A refused table operation: not open, not editing, unknown field, invalid value, bad packet...
class CTB_PLATFORM_EXPORT DataSetError : public std::runtime_error {
  public:
    explicit DataSetError(const QString& message);
    ~DataSetError() override;  // out of line: the type information lives in the platform library
    [[nodiscard]] const QString& message() const { return message_; }

  private:
    QString message_;
};

// An invalid filter text; position is the character index where the text stops making sense.
class CTB_PLATFORM_EXPORT FilterError : public DataSetError {
  public:
    FilterError(const QString& message, int position);
    ~FilterError() override;
    [[nodiscard]] int position() const { return position_; }

  private:
    int position_;
};

class ClientDataSet;
class Field;
class DataSource;
class RowFilter;
class ParsedFilter;

using DataSetNotifyEvent = std::function<void(ClientDataSet&)>;
using FieldNotifyEvent = std::function<void(Field&)>;
// displayText is true when the text is for display (grids, labels), false when it is the edit text.
using FieldGetTextEvent = std::function<void(Field&, QString& text, bool displayText)>;

// One declared field of a table. Values are read from and written to the table's current record:
// the edit buffer while editing or inserting, otherwise the committed row under the cursor.
class CTB_PLATFORM_EXPORT Field {
  public:
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    [[nodiscard]] const QString& fieldName() const { return def_.name; }
    [[nodiscard]] FieldType dataType() const { return def_.type; }
    [[nodiscard]] int size() const { return def_.size; }  // characters, String fields only
    [[nodiscard]] int index() const { return index_; }
    [[nodiscard]] const FieldDef& def() const { return def_; }
    [[nodiscard]] ClientDataSet& dataSet() const { return *owner_; }

    [[nodiscard]] const QString& displayLabel() const;  // the field name when no label was set
    void setDisplayLabel(const QString& label) { label_ = label; }
    [[nodiscard]] bool visible() const { return visible_; }
    void setVisible(bool visible) { visible_ = visible; }
    // "#,##0.00" style for numbers (the table's locale gives the separators); Qt date format for dates.
    [[nodiscard]] const QString& displayFormat() const { return displayFormat_; }
    void setDisplayFormat(const QString& format) { displayFormat_ = format; }
    // Edit mask text such as "9999;0; " or "!99/99/0000;1; "; kept for the edits, see edit_mask.h.
    [[nodiscard]] const QString& editMask() const { return editMask_; }
    void setEditMask(const QString& mask) { editMask_ = mask; }
    // A read-only field refuses every write (DataSetError).
    [[nodiscard]] bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

    [[nodiscard]] bool isNull() const;
    [[nodiscard]] QString asString() const;      // numbers with the locale's decimal separator, no grouping
    [[nodiscard]] double asFloat() const;        // 0 for null; throws when a text is not a number
    [[nodiscard]] qint64 asInteger() const;      // 0 for null; throws when a text is not an integer
    [[nodiscard]] QDateTime asDateTime() const;  // invalid for null
    [[nodiscard]] QDate asDate() const;
    [[nodiscard]] QVariant value() const;  // null QVariant for null

    // Writers need the table in edit or insert state. A text longer than the field's size is cut.
    // An empty text stores null. Numbers and dates given as text are read with the table's locale
    // ("1.234,56", "15/03/2026") and also in plain form ("1234.56", "2026-03-15").
    void setAsString(const QString& text);
    void setAsFloat(double value);
    void setAsInteger(qint64 value);
    void setAsDateTime(const QDateTime& value);  // wall time, no time zone
    void setAsDate(const QDate& value);
    void setValue(const QVariant& value);  // null or invalid QVariant stores null
    void clear();

    [[nodiscard]] QString text() const;  // edit text: OnGetText(..., false), else asString()
    void setText(const QString& text) { setAsString(text); }
    [[nodiscard]] QString displayText() const;  // OnGetText(..., true), else formatted; null shows ""

    // Asks the controls following the table to focus this field's column or edit.
    void focusControl();

    FieldGetTextEvent onGetText;
    FieldNotifyEvent onChange;  // after a value was stored while editing or inserting

  private:
    friend class ClientDataSet;
    Field(ClientDataSet& owner, int index, FieldDef def);

    [[nodiscard]] QString defaultText(bool display) const;

    ClientDataSet* owner_;
    int index_;
    FieldDef def_;
    QString label_;
    QString displayFormat_;
    QString editMask_;
    bool visible_ = true;
    bool readOnly_ = false;
};

// Followers of a table (grid models). Notifications come after the change, except the
// "about to" ones, which come before it (so a Qt model can bracket begin/end calls).
// Rows are view rows: the rows the filter lets through, in index order, the pending row of an insert
// included (see ClientDataSet::viewRowCount). Observers must not throw.
class CTB_PLATFORM_EXPORT DataSetObserver {
  public:
    virtual ~DataSetObserver();
    virtual void aboutToReset() {}
    virtual void reset() {}  // fields, rows, filter, order or everything may have changed
    virtual void rowAboutToBeInserted(int /*row*/) {}
    virtual void rowInserted(int /*row*/) {}
    virtual void rowAboutToBeRemoved(int /*row*/) {}
    virtual void rowRemoved(int /*row*/) {}
    virtual void rowChanged(int /*row*/) {}         // values shown in that row changed
    virtual void currentRowChanged(int /*row*/) {}  // -1 when there is no current row
    virtual void stateChanged(DataSetState /*state*/) {}
    virtual void focusFieldRequested(Field& /*field*/) {}  // delivered even while controls are disabled
    virtual void dataSetDestroyed() {}
};

struct CTB_PLATFORM_EXPORT LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;  // texts match when the row's text starts with the value
};

class CTB_PLATFORM_EXPORT ClientDataSet {
  public:
    explicit ClientDataSet(QString name = {});
    ~ClientDataSet();
    ClientDataSet(const ClientDataSet&) = delete;
    ClientDataSet& operator=(const ClientDataSet&) = delete;

    [[nodiscard]] const QString& name() const { return name_; }

    // ---- fields (declared while the table is closed) ----
    // A String field declared with size 0 holds at most 20 characters.
    Field& addField(const QString& name, FieldType type, int size = 0);
    Field& addStringField(const QString& name, int size) { return addField(name, FieldType::String, size); }
    Field& addFloatField(const QString& name) { return addField(name, FieldType::Float); }
    Field& addDateTimeField(const QString& name) { return addField(name, FieldType::DateTime); }
    Field& addIntegerField(const QString& name) { return addField(name, FieldType::Integer); }
    void clearFields();
    [[nodiscard]] int fieldCount() const { return static_cast<int>(fields_.size()); }
    [[nodiscard]] Field& field(int index) const;
    [[nodiscard]] Field* findField(QStringView name) const;    // case-insensitive; nullptr when absent
    [[nodiscard]] Field& fieldByName(QStringView name) const;  // throws DataSetError when absent
    [[nodiscard]] std::vector<FieldDef> fieldDefs() const;

    [[nodiscard]] const QLocale& locale() const { return locale_; }
    void setLocale(const QLocale& locale);  // default pt_BR
    [[nodiscard]] bool readOnly() const { return readOnly_; }
    void setReadOnly(bool readOnly) { readOnly_ = readOnly; }  // refuses insert/append/edit/delete

    // ---- open, close, empty ----
    void createDataSet();  // opens empty with the declared fields
    void emptyDataSet();   // removes every row (also those the filter hides); stays open
    [[nodiscard]] bool active() const { return state_ != DataSetState::Inactive; }
    void setActive(bool active);
    void open();   // a closed table opens empty (as createDataSet)
    void close();  // drops the rows and any pending edit
    [[nodiscard]] DataSetState state() const { return state_; }
    [[nodiscard]] bool isEditing() const {
        return state_ == DataSetState::Edit || state_ == DataSetState::Insert;
    }

    // ---- the whole table as one data packet ----
    // Every row, those hidden by the filter included, in index order; fields in declared order.
    [[nodiscard]] DataPacket data() const;
    // Replaces rows (and fields, when none are declared) and opens the table with the cursor on the
    // first row. With declared fields, every declared field must be in the packet (any order, names
    // case-insensitive) with a compatible type; texts are cut to the declared sizes. Filter, index
    // order and handlers stay. A pending edit is dropped without events. Resets the change count.
    void setData(DataPacket&& packet);
    void setData(const DataPacket& packet);

    // ---- navigation (over the rows the filter lets through) ----
    void first();
    void last();
    void next();
    void prior();
    [[nodiscard]] bool eof() const { return eof_; }
    [[nodiscard]] bool bof() const { return bof_; }
    [[nodiscard]] int recordCount() const;
    [[nodiscard]] bool isEmpty() const { return recordCount() == 0; }
    // 1-based number of the current row among the visible rows (while inserting: where the pending
    // row shows); 0 when there is none.
    [[nodiscard]] int recNo() const;
    void setRecNo(int recNo);  // clamped to 1..recordCount()
    // Key fields joined by ';' and one value per field; compares as the field's type (texts as text).
    // Moves the cursor to the first match among the visible rows and returns true; false leaves it.
    bool locate(QStringView keyFields, const QVariantList& values, LocateOptions options = {});
    bool locate(QStringView keyFields, const QVariant& value, LocateOptions options = {});

    // ---- editing ----
    void append();  // new row shown at the end (at its key position once posted, with an index)
    void insert();  // new row shown before the current row
    void edit();
    void post();
    void cancel();
    void remove();  // deletes the current row
    [[nodiscard]] bool modified() const { return modified_; }
    // A field's value changed since edit began, or since the insert's own handlers ran (the defaults
    // that AfterInsert writes count as modified() but not as touched, and so does writing a value a
    // field already holds): what a grid means by an untouched row.
    [[nodiscard]] bool touched() const { return touched_; }

    // ---- filter: comparisons FIELD = 'text' joined by AND ----
    [[nodiscard]] const QString& filter() const { return filterText_; }
    void setFilter(const QString& text);  // throws FilterError (table unchanged) when invalid
    [[nodiscard]] bool filtered() const { return filtered_; }
    void setFiltered(bool on);  // throws FilterError when switching on an invalid text
    [[nodiscard]] bool filterCaseInsensitive() const { return filterCaseInsensitive_; }
    void setFilterCaseInsensitive(bool on);

    // ---- index order: field names joined by ';', empty for arrival order ----
    [[nodiscard]] const QString& indexFieldNames() const { return indexFieldNames_; }
    void setIndexFieldNames(const QString& names);

    // ---- change log ----
    [[nodiscard]] int changeCount() const { return changeCount_; }  // posts and deletes since merge
    void mergeChangeLog() { changeCount_ = 0; }

    // ---- display suspension (nesting counted) ----
    void disableControls();
    void enableControls();  // at the outermost call: observers get one reset, sources one data change
    [[nodiscard]] bool controlsDisabled() const { return disableCount_ > 0; }

    void addObserver(DataSetObserver* observer);
    void removeObserver(DataSetObserver* observer);

    // ---- reading any view row without moving the cursor (grids) ----
    [[nodiscard]] int viewRowCount() const;  // recordCount() plus the pending row of an insert
    [[nodiscard]] int currentViewRow() const { return recNo() - 1; }
    [[nodiscard]] bool isPendingRow(int viewRow) const;
    // Field texts and values of a view row; OnGetText handlers see that row as the current record.
    [[nodiscard]] QString displayTextAt(int viewRow, int fieldIndex) const;
    [[nodiscard]] QString textAt(int viewRow, int fieldIndex) const;
    [[nodiscard]] QVariant valueAt(int viewRow, int fieldIndex) const;

    // ---- events (std::function members; exceptions propagate to the caller) ----
    DataSetNotifyEvent beforeInsert;
    DataSetNotifyEvent afterInsert;
    DataSetNotifyEvent onNewRecord;
    DataSetNotifyEvent beforeEdit;
    DataSetNotifyEvent afterEdit;
    DataSetNotifyEvent beforePost;
    DataSetNotifyEvent afterPost;
    DataSetNotifyEvent beforeCancel;
    DataSetNotifyEvent afterCancel;
    DataSetNotifyEvent beforeDelete;
    DataSetNotifyEvent afterDelete;
    DataSetNotifyEvent beforeScroll;
    DataSetNotifyEvent afterScroll;
    DataSetNotifyEvent afterOpen;
    DataSetNotifyEvent beforeClose;

  private:
    friend class Field;
    friend class DataSource;
    struct Impl;
    struct LocateKey;

    // The record the fields read: override row (grids), edit buffer, current row, or none.
    [[nodiscard]] const Row* readRow() const;
    Row& beginWrite(const Field& field);  // the edit buffer; throws when not editing or read-only
    void endWrite(Field& field, bool changed);
    void requestFocus(Field& field);

    [[nodiscard]] int visibleCount() const;
    [[nodiscard]] std::size_t physOf(int viewRow) const;
    [[nodiscard]] int viewOf(std::size_t phys) const;
    [[nodiscard]] int viewInsertPosition(std::size_t phys) const;
    [[nodiscard]] bool passes(const Row& row) const;
    void rebuildView();
    int storeRow(std::size_t phys, Row&& row);
    void eraseRow(std::size_t phys);
    [[nodiscard]] bool rowLess(const Row& a, const Row& b) const;
    [[nodiscard]] std::size_t sortedPosition(const Row& row) const;
    void sortRows();
    [[nodiscard]] std::vector<int> resolveFieldList(QStringView names, const char* purpose) const;
    [[nodiscard]] const Row* viewRowData(int viewRow) const;

    void fire(const DataSetNotifyEvent& event);
    template <typename F>
    void notify(F&& f);
    void notifyReset();
    void notifyCurrent();
    void notifyDataChange(Field* field);
    void changeState(DataSetState state);
    void announceState();

    void checkActive() const;
    void checkCanModify() const;
    void checkBrowseMode();
    [[nodiscard]] std::unique_ptr<RowFilter> makeFilter(const ParsedFilter& parsed,
                                                        bool caseInsensitive) const;
    void applyFilterChange(ParsedFilter parsed, std::unique_ptr<RowFilter> bound, bool on,
                           bool caseInsensitive);
    void moveTo(int viewRow);
    void startInsert(bool atEnd);
    void dropInsert();
    [[nodiscard]] bool rowMatches(const Row& row, const std::vector<LocateKey>& keys,
                                  LocateOptions options) const;

    QString name_;
    std::vector<std::unique_ptr<Field>> fields_;
    QLocale locale_;
    bool readOnly_ = false;
    DataSetState state_ = DataSetState::Inactive;
    bool eof_ = true;
    bool bof_ = true;
    bool modified_ = false;
    bool touched_ = false;
    int changeCount_ = 0;
    int disableCount_ = 0;
    bool filtered_ = false;
    bool filterCaseInsensitive_ = false;
    QString filterText_;
    QString indexFieldNames_;
    std::unique_ptr<Impl> d_;
};

// Connects a table to the controls of a screen; the screen binds its state-change handler here.
class CTB_PLATFORM_EXPORT DataSource {
  public:
    explicit DataSource(ClientDataSet* dataSet = nullptr, QString name = {});
    ~DataSource();
    DataSource(const DataSource&) = delete;
    DataSource& operator=(const DataSource&) = delete;

    [[nodiscard]] const QString& name() const { return name_; }
    [[nodiscard]] ClientDataSet* dataSet() const { return dataSet_; }
    void setDataSet(ClientDataSet* dataSet);
    [[nodiscard]] DataSetState state() const;  // Inactive without a table
    // Puts a browsing table into edit (what data-aware controls do before writing).
    void edit();

    std::function<void(DataSource&)> onStateChange;
    // Field changed (field != nullptr), or the current record / whole table changed (nullptr).
    std::function<void(DataSource&, Field*)> onDataChange;

  private:
    friend class ClientDataSet;
    QString name_;
    ClientDataSet* dataSet_ = nullptr;
};

}  // namespace ctb
