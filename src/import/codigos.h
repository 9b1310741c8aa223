// The rules that form the short codes (ABREV, COD) the timetabling product knows rows by.
// Every code that goes to a 10-character field is compared as it will be stored, so that two
// rows never share a stored code by being cut.
#pragma once

#include "import/lista_codigos.h"

#include <string>

namespace import {

inline constexpr std::size_t kLongitudCodigo = 10;

std::string Corta(const std::string& texto, std::size_t longitud = kLongitudCodigo);

// Group: the base (level, course and group name) cut to 10; when taken, its first 9
// characters followed by the first free letter from "A" to "Y" ("Y" when all are taken).
std::string CodigoGrupo(const std::string& base, const ListaCodigos& lista);

// Subgroup number n of a parent code: the parent followed by n, the parent's part cut so the
// whole number fits in 10 characters.
std::string CodigoSubgrupo(const std::string& padre, int numero);

// Teacher: the capitals of the name cut to 10; when taken, its first three characters followed
// by the first free number from 1 on.
std::string CodigoProfesor(const std::string& nombre, const ListaCodigos& lista);

// Classroom: the classroom code cut to 10; when taken, the first three characters of the
// classroom code followed by the first free number from 1 to 99 (99 when all are taken).
std::string CodigoAula(const std::string& codigoAula, const ListaCodigos& lista);

// Subject: the code formed from the long code, or from the name when that gives fewer than
// two characters, at most 10 characters.
std::string CodigoMateria(const std::string& codigoLargo, const std::string& nombre);
// The subject code itself when free, else the code numbered from 1 to 99 (99 when all are taken).
std::string CodigoMateriaLibre(const std::string& codigo, const ListaCodigos& lista);

}  // namespace import
