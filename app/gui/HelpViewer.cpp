#include "app/gui/HelpViewer.h"

#include <QDialogButtonBox>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace brennic {

THelpViewer::THelpViewer(const QUrl& page, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Brennic help"));
    Page = new QTextBrowser(this);
    Page->setObjectName(QStringLiteral("HelpPage"));
    Page->setOpenExternalLinks(true);
    Page->setSource(page);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* column = new QVBoxLayout(this);
    column->addWidget(Page, 1);
    column->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    resize(760, 600);
}

}  // namespace brennic
