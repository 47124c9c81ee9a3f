#include "tools/EsportazioneFoglio.h"

#include "tools/ConnessioneLettura.h"

int LarghezzaColonnaFoglio(const TColonnaRisultato& c) {
    int l = 15;
    if (c.tipoNoto) {
        switch (c.campo.tipo) {
        case TTipoCampo::String: l = c.campo.dimensione > 0 ? c.campo.dimensione : 20; break;
        case TTipoCampo::Integer: l = 11; break;
        case TTipoCampo::Float: l = 14; break;
        case TTipoCampo::Date: l = 10; break;
        case TTipoCampo::Boolean: l = 5; break;
        case TTipoCampo::Memo: l = 50; break;
        }
    }
    return qBound(1, l, 50);
}

QString EsportaFoglio(TConnessioneLettura& c, const QString& nomeFoglio, const QString& cartella,
                      const std::function<void(qint64)>& avanzamento, const std::function<void()>& allaFineDelleRighe) {
    QVector<TColonnaFoglio> colonne;
    for (const TColonnaRisultato& r : c.colonne()) colonne.append({r.nome, LarghezzaColonnaFoglio(r)});
    const auto prossima = [&c, &allaFineDelleRighe] {
        const bool riga = c.prossima();
        if (!riga && allaFineDelleRighe) allaFineDelleRighe();
        return riga;
    };
    return ScriviFoglio(colonne, prossima, [&c](int i) { return c.valore(i); }, nomeFoglio, cartella, avanzamento);
}
