// Type tables of the stand-in's .NET classes, filled once by the type registry.
#pragma once

namespace maxhost::dotnet {

class TypeRegistry;

void registerSystemTypes(TypeRegistry& reg);
void registerDrawingTypes(TypeRegistry& reg);
void registerFormsTypes(TypeRegistry& reg);

}  // namespace maxhost::dotnet
