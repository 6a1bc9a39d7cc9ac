#pragma once

#include "register/CardRegister.h"
#include "tools/register/serve/ServeAccess.h"

#include <QUrlQuery>

// A complete order's delivery note from the page: the same PDF and CSV as
// `zr-register order note`, made in memory for the one request.
namespace zr::tools::serve {

// A reference longer than this is no order's.
inline constexpr int kMaxReferenceBytes = 200;

enum class NoteFile { Pdf, Csv };

// `ref=REF` (and for the PDF `lang=zh|en`): 404 for an unknown order, 409 for one that is not
// complete, 400 for anything else asked.
Reply noteReply(reg::CardRegister& cards, const QUrlQuery& query, NoteFile file);

} // namespace zr::tools::serve
