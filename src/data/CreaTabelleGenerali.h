#pragma once
// Creation and upgrade of the tables shared by every working year: the saved
// export definitions.

#include "data/CreaTabelle.h"

// Creates or upgrades tabexport.db; its notes go to the report when one is given.
void CreaTabelleGenerali(TResocontoTabelle* resoconto = nullptr);
