// A tiny shared object for the module-loading tests: one function and one datum it exports.
extern "C" int conturaFixtureAnswer() { return 42; }
extern "C" const int conturaFixtureDatum = 7;
