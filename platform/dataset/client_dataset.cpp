#include "platform/dataset/client_dataset.h"

// Interim stubs so dependants compile against the public API; the implementation follows.

namespace ctb {

namespace {
[[noreturn]] void notYet() {
    throw DataSetError(QStringLiteral("ClientDataSet: ainda não implementado"));
}
}  // namespace

struct ClientDataSet::Impl {};

DataSetError::DataSetError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}
FilterError::FilterError(const QString& message, int position) : DataSetError(message), position_(position) {}

Field::Field(ClientDataSet& owner, int index, FieldDef def)
    : owner_(&owner), index_(index), def_(std::move(def)) {}
const QString& Field::displayLabel() const {
    return label_.isEmpty() ? def_.name : label_;
}
bool Field::isNull() const {
    return true;
}
QString Field::asString() const {
    return {};
}
double Field::asFloat() const {
    return 0;
}
qint64 Field::asInteger() const {
    return 0;
}
QDateTime Field::asDateTime() const {
    return {};
}
QDate Field::asDate() const {
    return {};
}
QVariant Field::value() const {
    return {};
}
void Field::setAsString(const QString&) {
    notYet();
}
void Field::setAsFloat(double) {
    notYet();
}
void Field::setAsInteger(qint64) {
    notYet();
}
void Field::setAsDateTime(const QDateTime&) {
    notYet();
}
void Field::setAsDate(const QDate&) {
    notYet();
}
void Field::setValue(const QVariant&) {
    notYet();
}
void Field::clear() {
    notYet();
}
QString Field::text() const {
    return {};
}
QString Field::displayText() const {
    return {};
}
void Field::focusControl() {}
QString Field::defaultText(bool) const {
    return {};
}

ClientDataSet::ClientDataSet(QString name)
    : name_(std::move(name)), locale_(QLocale::Portuguese, QLocale::Brazil), d_(std::make_unique<Impl>()) {}
ClientDataSet::~ClientDataSet() = default;
Field& ClientDataSet::addField(const QString& name, FieldType type, int size) {
    fields_.push_back(std::unique_ptr<Field>(new Field(*this, fieldCount(), FieldDef{name, type, size})));
    return *fields_.back();
}
void ClientDataSet::clearFields() {
    fields_.clear();
}
Field& ClientDataSet::field(int index) const {
    return *fields_.at(static_cast<std::size_t>(index));
}
Field* ClientDataSet::findField(QStringView name) const {
    for (const auto& f : fields_)
        if (QStringView(f->fieldName()).compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}
Field& ClientDataSet::fieldByName(QStringView name) const {
    if (Field* f = findField(name))
        return *f;
    notYet();
}
std::vector<FieldDef> ClientDataSet::fieldDefs() const {
    std::vector<FieldDef> defs;
    for (const auto& f : fields_)
        defs.push_back(f->def());
    return defs;
}
void ClientDataSet::setLocale(const QLocale& locale) {
    locale_ = locale;
}
void ClientDataSet::createDataSet() {
    notYet();
}
void ClientDataSet::emptyDataSet() {
    notYet();
}
void ClientDataSet::setActive(bool) {
    notYet();
}
void ClientDataSet::open() {
    notYet();
}
void ClientDataSet::close() {
    notYet();
}
DataPacket ClientDataSet::data() const {
    return {};
}
void ClientDataSet::setData(DataPacket&&) {
    notYet();
}
void ClientDataSet::setData(const DataPacket&) {
    notYet();
}
void ClientDataSet::first() {
    notYet();
}
void ClientDataSet::last() {
    notYet();
}
void ClientDataSet::next() {
    notYet();
}
void ClientDataSet::prior() {
    notYet();
}
int ClientDataSet::recordCount() const {
    return 0;
}
int ClientDataSet::recNo() const {
    return 0;
}
void ClientDataSet::setRecNo(int) {
    notYet();
}
bool ClientDataSet::locate(QStringView, const QVariantList&, LocateOptions) {
    notYet();
}
bool ClientDataSet::locate(QStringView, const QVariant&, LocateOptions) {
    notYet();
}
void ClientDataSet::append() {
    notYet();
}
void ClientDataSet::insert() {
    notYet();
}
void ClientDataSet::edit() {
    notYet();
}
void ClientDataSet::post() {
    notYet();
}
void ClientDataSet::cancel() {
    notYet();
}
void ClientDataSet::remove() {
    notYet();
}
void ClientDataSet::setFilter(const QString&) {
    notYet();
}
void ClientDataSet::setFiltered(bool) {
    notYet();
}
void ClientDataSet::setFilterCaseInsensitive(bool) {
    notYet();
}
void ClientDataSet::setIndexFieldNames(const QString&) {
    notYet();
}
void ClientDataSet::disableControls() {
    ++disableCount_;
}
void ClientDataSet::enableControls() {
    --disableCount_;
}
void ClientDataSet::addObserver(DataSetObserver*) {}
void ClientDataSet::removeObserver(DataSetObserver*) {}
int ClientDataSet::viewRowCount() const {
    return 0;
}
bool ClientDataSet::isPendingRow(int) const {
    return false;
}
QString ClientDataSet::displayTextAt(int, int) const {
    return {};
}
QString ClientDataSet::textAt(int, int) const {
    return {};
}
QVariant ClientDataSet::valueAt(int, int) const {
    return {};
}
const Row* ClientDataSet::readRow() const {
    return nullptr;
}
void ClientDataSet::writeCell(Field&, const std::function<void(Row&)>&, bool) {
    notYet();
}

DataSource::DataSource(ClientDataSet* dataSet, QString name) : name_(std::move(name)), dataSet_(dataSet) {}
DataSource::~DataSource() = default;
void DataSource::setDataSet(ClientDataSet* dataSet) {
    dataSet_ = dataSet;
}
DataSetState DataSource::state() const {
    return dataSet_ ? dataSet_->state() : DataSetState::Inactive;
}
void DataSource::edit() {
    notYet();
}

}  // namespace ctb
