// A shared object that is not an application module: it exports no acrxEntryPoint.
extern "C" int rxTestPlainModuleValue() { return 7; }
