#include "workspace/stored_selections.h"

#include <QSize>

namespace {

struct Column {
    const char* header;
    int width;
};

// clang-format off
// The 44 visible columns: table columns 1 to 44 (column 10, stored as "最大绝牙", is
// headed "最大绝压").
const Column kColumns[] = {
    {"选型编号", 90}, {"仪表型号规格", 300}, {"使用介质", 100}, {"最小标况流量", 80}, {"最大标况流量", 80},
    {"压缩因子", 50}, {"Zn_Zg_1", 50}, {"Zn_Zg_2", 50}, {"最小绝压", 70}, {"最大绝压", 70},
    {"最低温度", 70}, {"最高温度", 70}, {"参比条件", 350}, {"CO2摩尔含量", 80}, {"H2摩尔含量", 70},
    {"高位发热量", 70}, {"相对密度", 70}, {"卡表结算单位", 90}, {"综合准确度", 80}, {"最小工况流量", 80},
    {"最大工况流量", 80}, {"产品名称", 70}, {"基表产地", 70}, {"机械计数器", 80}, {"卡控", 40},
    {"通经", 50}, {"公称压力", 70}, {"基表准确度", 80}, {"修正仪型号", 80}, {"安装形式", 70},
    {"GPRS", 40}, {"短程无线", 70}, {"电流输出", 70}, {"HART", 50}, {"防爆类型", 70},
    {"修正方式", 70}, {"温度传感器L", 80}, {"温度传感器H", 80}, {"压力传感器上限", 90}, {"修正仪准确度", 90},
    {"显示转换系数", 90}, {"机械计数器带脉冲", 100}, {"连接方式", 70}, {"通径规格", 150},
};
// clang-format on

constexpr int kVisibleColumns = static_cast<int>(std::size(kColumns));

} // namespace

StoredSelections::StoredSelections(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int StoredSelections::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int StoredSelections::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kVisibleColumns;
}

QVariant StoredSelections::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::DisplayRole)
        return QVariant();
    return valueOf(m_rows[static_cast<size_t>(index.row())], index.column());
}

QVariant StoredSelections::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kVisibleColumns)
        return QVariant();
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(kColumns[section].header);
    if (role == Qt::SizeHintRole)
        return QSize(kColumns[section].width, 20);
    return QVariant();
}

int StoredSelections::columnWidth(int column)
{
    return column >= 0 && column < kVisibleColumns ? kColumns[column].width : 0;
}

StoredSelections::Row StoredSelections::pack(const QStringList& values)
{
    Row r;
    r.ends.reserve(static_cast<size_t>(values.size()));
    for (const QString& v : values) {
        r.data += v;
        r.ends.push_back(static_cast<quint32>(r.data.size()));
    }
    r.data.squeeze();
    return r;
}

QString StoredSelections::valueOf(const Row& r, int i)
{
    if (i < 0 || static_cast<size_t>(i) >= r.ends.size())
        return QString();
    const quint32 begin = i == 0 ? 0 : r.ends[static_cast<size_t>(i - 1)];
    const quint32 end = r.ends[static_cast<size_t>(i)];
    return r.data.mid(begin, end - begin);
}

QStringList StoredSelections::row(int item) const
{
    QStringList out;
    if (item < 0 || item >= rowCount())
        return out;
    const Row& r = m_rows[static_cast<size_t>(item)];
    for (size_t i = 0; i < r.ends.size(); ++i)
        out << valueOf(r, static_cast<int>(i));
    return out;
}

QString StoredSelections::caption(int item) const
{
    return item >= 0 && item < rowCount() ? valueOf(m_rows[static_cast<size_t>(item)], 0) : QString();
}

int StoredSelections::find(const QString& caption) const
{
    for (int i = 0; i < rowCount(); ++i) {
        if (this->caption(i) == caption)
            return i;
    }
    return -1;
}

void StoredSelections::append(const QStringList& values)
{
    const int at = rowCount();
    beginInsertRows(QModelIndex(), at, at);
    m_rows.push_back(pack(values));
    endInsertRows();
}

void StoredSelections::beginRefill()
{
    beginResetModel();
    m_rows.clear();
    m_selected = -1;
}

void StoredSelections::refillBeginRow()
{
    if (!m_rows.empty())
        m_rows.back().data.squeeze();
    m_rows.emplace_back();
    m_rows.back().ends.reserve(45);
}

void StoredSelections::refillValue(const QString& value)
{
    Row& r = m_rows.back();
    r.data += value;
    r.ends.push_back(static_cast<quint32>(r.data.size()));
}

void StoredSelections::endRefill()
{
    if (!m_rows.empty())
        m_rows.back().data.squeeze();
    endResetModel();
}

void StoredSelections::insertEmpty(int item)
{
    item = std::clamp(item, 0, rowCount());
    beginInsertRows(QModelIndex(), item, item);
    m_rows.insert(m_rows.begin() + item, Row {});
    endInsertRows();
    if (m_selected >= item)
        ++m_selected;
}

void StoredSelections::extend(int item, const QStringList& values)
{
    if (item < 0 || item >= rowCount())
        return;
    QStringList all = row(item);
    all += values;
    m_rows[static_cast<size_t>(item)] = pack(all);
    emit dataChanged(index(item, 0), index(item, kVisibleColumns - 1));
}

void StoredSelections::remove(int item)
{
    if (item < 0 || item >= rowCount())
        return;
    beginRemoveRows(QModelIndex(), item, item);
    m_rows.erase(m_rows.begin() + item);
    endRemoveRows();
    if (m_selected == item)
        m_selected = -1;
    else if (m_selected > item)
        --m_selected;
}

void StoredSelections::setSelected(int item)
{
    m_selected = item >= 0 && item < rowCount() ? item : -1;
}
