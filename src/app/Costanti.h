#pragma once
// The program's name, version and the maker's addresses, in one place.

#include <QString>

namespace Costanti {
inline const QString TitoloApplicazione = QStringLiteral("Vovuru_Dazadaz");
inline const QString Versione = QStringLiteral("07.2003-40");
inline const QString NomeProduttore = QStringLiteral("Vavori Rarovazazo");
inline const QString SitoProduttore = QStringLiteral("https://www.vavori.example.com/");
inline const QString MailProduttore = QStringLiteral("assistenza@vavori.example.com");
}  // namespace Costanti
