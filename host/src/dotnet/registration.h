// Type tables of the stand-in's .NET classes, filled once by the type registry.
#pragma once

namespace maxhost::dotnet {

class TypeRegistry;

void registerSystemTypes(TypeRegistry& reg);
void registerDrawingTypes(TypeRegistry& reg);
void registerFormsTypes(TypeRegistry& reg);
void registerListViewTypes(TypeRegistry& reg);  // part of the forms, after their enums

}  // namespace maxhost::dotnet
