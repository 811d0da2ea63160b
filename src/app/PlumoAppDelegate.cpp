#include "app/PlumoAppDelegate.h"

#include <QApplication>
#include <QStyle>

namespace {

PlumoAppDelegate* g_instance = nullptr;

// The theme's icon, or the style's own when the theme has none.
QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), QApplication::style()->standardIcon(fallback));
}

} // namespace

PlumoAppDelegate::PlumoAppDelegate()
    : m_folderImage(themeIcon("folder", QStyle::SP_DirIcon))
    , m_documentImage(themeIcon("text-x-generic", QStyle::SP_FileIcon))
{
    g_instance = this;
}

PlumoAppDelegate::~PlumoAppDelegate()
{
    if (g_instance == this)
        g_instance = nullptr;
}

PlumoAppDelegate* PlumoAppDelegate::instance()
{
    return g_instance;
}
