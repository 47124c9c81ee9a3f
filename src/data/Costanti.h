#pragma once
// The program's name, version and the maker's addresses, in one place.

#include <QString>

namespace Costanti {
inline const QString TitoloApplicazione = QStringLiteral("Vovuru_Dazadaz");
inline const QString Versione = QStringLiteral("07.2003-40");
inline const QString NomeProduttore = QStringLiteral("Vavori Rarovazazo");
inline const QString SitoProduttore = QStringLiteral("https://www.vavori.example.com/");
// The update check asks the site's page below for the current version,
// followed by the program title as it is; the program file offered for
// download lies below the site too.
inline const QString PaginaControlloVersione = QStringLiteral("index.php?show=ctrlvers&prg=");
inline const QString ProgrammaScaricabile = QStringLiteral("prg/rudeve.exe");
inline const QString MailProduttore = QStringLiteral("assistenza@vavori.example.com");
}  // namespace Costanti
