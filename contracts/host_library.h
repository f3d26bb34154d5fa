#pragma once

// The host component library under the names the screens use: base forms, catalog, MensErro, the
// server connection, the lookup query and button, the edits, the utilities and the declaration kit.

#include "hostlib/declarations.h"
#include "hostlib/host.h"
#include "hostlib/screen_kit.h"
#include "hostlib/utils.h"

namespace ctb::ctb10000 {

using hostlib::Ajusta;
using hostlib::CheckResultServ;
using hostlib::EmptyString;
using hostlib::MensErro;
using hostlib::PictPess;
using hostlib::Replicate;
using hostlib::RoundDec;
using hostlib::Session;
using hostlib::ShowAviScope;
using hostlib::TBtnPesquisa;
using hostlib::TDateEditPlus;
using hostlib::TfrmPadrao;
using hostlib::TfrmRotiGeral;
using hostlib::TMessages;
using hostlib::TNetConnection;
using hostlib::TNumberEdit;
using TADOIBQuery = hostlib::DeclaredQuery;

using hostlib::Align;
using hostlib::CatalogEntry;
using hostlib::ControlDecl;
using hostlib::ControlKind;
using hostlib::FieldDecl;
using hostlib::FormDecl;
using hostlib::GridColumnDecl;
using hostlib::GridDecl;
using hostlib::LayoutDecl;
using hostlib::LookupDecl;
using hostlib::QueryDecl;
using hostlib::TableDecl;
using hostlib::u8;

using hostlib::applyFormDecl;
using hostlib::applyLayout;
using hostlib::buildControls;
using hostlib::catalogLines;
using hostlib::control;
using hostlib::declareQuery;
using hostlib::declareTable;
using hostlib::findControl;
using hostlib::findQuery;
using hostlib::findTable;
using hostlib::setUpGrids;
using hostlib::setUpLookups;

}  // namespace ctb::ctb10000
