#include "platform/textbox.h"

#include <QLineEdit>

#include <algorithm>

namespace platform {

void SetTextWhole(QLineEdit *box, const QString &text, int typedMax)
{
    const int limit = std::max(typedMax, int(text.size()));
    // never below the text the box holds now, which would be cut first
    box->setMaxLength(std::max(limit, int(box->text().size())));
    box->setText(text);
    box->setMaxLength(limit);
}

}  // namespace platform
