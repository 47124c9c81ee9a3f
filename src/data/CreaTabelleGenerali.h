#pragma once
// Creation and upgrade of the tables shared by every working year: the saved
// export definitions.

// Creates or upgrades tabexport.db.
void CreaTabelleGenerali();
