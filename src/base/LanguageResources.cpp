#include "base/LanguageResources.h"

#include "base/ControlId.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QResource>
#include <QWidget>

namespace {

// Each loaded bundle gets its own map root, so a bundle that is replaced
// never shadows or is shadowed by the previous one.
int g_nextRoot = 0;

QString Key(int id)
{
    return QString::number(id);
}

QList<MenuResourceItem> ParseMenuItems(const QJsonArray& items)
{
    QList<MenuResourceItem> result;
    for (const QJsonValue& value : items) {
        const QJsonObject object = value.toObject();
        MenuResourceItem item;
        item.separator = object.value("separator").toBool();
        item.id = object.value("id").toInt();
        item.text = object.value("text").toString();
        if (object.contains("items"))
            item.items = ParseMenuItems(object.value("items").toArray());
        result.append(item);
    }
    return result;
}

} // namespace

CLanguageResources::~CLanguageResources()
{
    Unload();
}

bool CLanguageResources::Load(const QString& path)
{
    Unload();
    const QString root = QStringLiteral("/bundle%1").arg(g_nextRoot++);
    if (!QResource::registerResource(path, root))
        return false;
    QFile index(QStringLiteral(":%1/resources.json").arg(root));
    QJsonParseError error{};
    QJsonDocument document;
    if (index.open(QIODevice::ReadOnly))
        document = QJsonDocument::fromJson(index.readAll(), &error);
    if (!index.isOpen() || error.error != QJsonParseError::NoError || !document.isObject()) {
        QResource::unregisterResource(path, root);
        return false;
    }
    m_path = path;
    m_root = root;
    m_tables = document.object();
    return true;
}

void CLanguageResources::Unload()
{
    if (m_path.isEmpty())
        return;
    QResource::unregisterResource(m_path, m_root);
    m_path.clear();
    m_root.clear();
    m_tables = QJsonObject();
}

QString CLanguageResources::File(const QString& name) const
{
    return QStringLiteral(":%1/%2").arg(m_root, name);
}

QString CLanguageResources::LoadString(int id) const
{
    return m_tables.value("strings").toObject().value(Key(id)).toString();
}

bool CLanguageResources::HasString(int id) const
{
    return m_tables.value("strings").toObject().contains(Key(id));
}

QList<MenuResourceItem> CLanguageResources::LoadMenu(int id) const
{
    return ParseMenuItems(m_tables.value("menus").toObject().value(Key(id)).toArray());
}

QList<AcceleratorResource> CLanguageResources::LoadAccelerators(int id) const
{
    QList<AcceleratorResource> result;
    const QJsonArray table = m_tables.value("accelerators").toObject().value(Key(id)).toArray();
    for (const QJsonValue& entry : table) {
        const QJsonArray pair = entry.toArray();
        AcceleratorResource accelerator;
        accelerator.key = QKeySequence(pair.at(0).toString(), QKeySequence::PortableText);
        accelerator.id = pair.at(1).toInt();
        if (!accelerator.key.isEmpty() && accelerator.id != 0)
            result.append(accelerator);
    }
    return result;
}

QJsonObject CLanguageResources::Dialog(int id) const
{
    return m_tables.value("dialogs").toObject().value(Key(id)).toObject();
}

bool CLanguageResources::HasDialog(int id) const
{
    return m_tables.value("dialogs").toObject().contains(Key(id));
}

QString CLanguageResources::DialogCaption(int dialogId) const
{
    return Dialog(dialogId).value("caption").toString();
}

QString CLanguageResources::DialogText(int dialogId, const QString& key) const
{
    return Dialog(dialogId).value("controls").toObject().value(key).toString();
}

QStringList CLanguageResources::DialogList(int dialogId, const QString& key) const
{
    QStringList items;
    const QJsonArray list = Dialog(dialogId).value("lists").toObject().value(key).toArray();
    for (const QJsonValue& item : list)
        items.append(item.toString());
    return items;
}

QPixmap CLanguageResources::LoadBitmap(int id) const
{
    const QString name = m_tables.value("bitmaps").toObject().value(Key(id)).toString();
    return name.isEmpty() ? QPixmap() : QPixmap(File(name));
}

QIcon CLanguageResources::LoadIcon(int id) const
{
    const QString name = m_tables.value("icons").toObject().value(Key(id)).toString();
    return name.isEmpty() ? QIcon() : QIcon(File(name));
}

QCursor CLanguageResources::LoadCursor(int id) const
{
    const QJsonObject cursor = m_tables.value("cursors").toObject().value(Key(id)).toObject();
    const QPixmap picture(File(cursor.value("file").toString()));
    if (picture.isNull())
        return QCursor(Qt::SizeHorCursor);
    const QJsonArray hotspot = cursor.value("hotspot").toArray();
    return QCursor(picture, hotspot.at(0).toInt(-1), hotspot.at(1).toInt(-1));
}

ToolbarResource CLanguageResources::LoadToolbar(int id) const
{
    ToolbarResource toolbar;
    const QJsonObject table = m_tables.value("toolbars").toObject().value(Key(id)).toObject();
    toolbar.strip = LoadBitmap(table.value("bitmap").toInt());
    toolbar.button = QSize(table.value("width").toInt(), table.value("height").toInt());
    for (const QJsonValue& button : table.value("buttons").toArray())
        toolbar.buttons.append(button.toInt());
    return toolbar;
}

void CLanguageResources::ApplyDialog(QWidget* dialog, int dialogId) const
{
    const QJsonObject table = Dialog(dialogId);
    dialog->setWindowTitle(table.value("caption").toString());
    const QJsonObject controls = table.value("controls").toObject();
    const QJsonObject lists = table.value("lists").toObject();
    const QList<QWidget*> children = dialog->findChildren<QWidget*>();
    for (QWidget* child : children) {
        const int id = child->property("ctrlId").toInt();
        const QString key = id != 0 ? Key(id) : child->objectName();
        if (key.isEmpty())
            continue;
        if (controls.contains(key)) {
            const QString text = controls.value(key).toString();
            if (auto* button = qobject_cast<QAbstractButton*>(child))
                button->setText(text);
            else if (auto* label = qobject_cast<QLabel*>(child))
                label->setText(text);
            else if (auto* group = qobject_cast<QGroupBox*>(child))
                group->setTitle(text);
        }
        if (lists.contains(key)) {
            if (auto* combo = qobject_cast<QComboBox*>(child)) {
                combo->clear();
                for (const QJsonValue& item : lists.value(key).toArray())
                    combo->addItem(item.toString());
            }
        }
    }
}
