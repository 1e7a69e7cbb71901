/*@include psb_parse_head.yfrag@*/

%code {
#include "behaviour/psb_layer_load.h"

namespace {

// The layer being built.
psb_layer_t& layer() { return *psb_current_layer; }

// Attribute type code of a type word (any case), or -1.
int attribute_type_code(const char* word)
{
    if (strcasecmp(word, "boolean") == 0)
        return psb_attribute_boolean;
    if (strcasecmp(word, "integer") == 0 || strcasecmp(word, "int") == 0)
        return psb_attribute_int;
    return -1;
}

}  // namespace
}

%token TK_HEADER_START TK_HEADER_ENCODING TK_HEADER_VERSION TK_HEADER_END TK_KUVRA_BEGIN TK_KUVRA_END
%token TK_VERSION_ATTRIBUTE TK_STRING_INT TK_STRING_FLOAT TK_STRING_STRING TK_LAYER_BEGIN TK_LAYER_END
%token TK_PROCESSES_BEGIN TK_PROCESSES_END TK_ATTRIBUTES_BEGIN TK_ATTRIBUTES_END TK_FEATURES_BEGIN
%token TK_FEATURES_END TK_PROCESS_BEGIN TK_ATTRIBUTE_BEGIN TK_GROUP_BEGIN TK_GROUP_END TK_FEATURE_BEGIN
%token TK_FEATURE_END TK_STATE_BEGIN TK_STATE_END TK_LOAD_TRANSITIONS_BEGIN TK_LOAD_BEHAVIORS_BEGIN
%token TK_NAME_ATTRIBUTE TK_FILE_ATTRIBUTE TK_TYPE_ATTRIBUTE TK_END_TAG_OPEN TK_END_TAG_CLOSED TK_FLOAT
%token TK_STRING

%%

/*@include psb_parse_header_rules.yfrag@*/

body_section : TK_KUVRA_BEGIN layer_section TK_KUVRA_END
             | TK_KUVRA_BEGIN error { STOP("\\r[psb_layer_parse] invalid psb layer file"); }
             ;

layer_section : TK_LAYER_BEGIN {} inside_layer_section TK_LAYER_END
              | TK_LAYER_BEGIN error { STOP("\\r[psb_layer_parse] version attribute missing"); }
              ;

inside_layer_section : layer_version layer_name TK_END_TAG_OPEN data_section
                     | layer_name layer_version TK_END_TAG_OPEN data_section
                     ;

layer_name : TK_NAME_ATTRIBUTE TK_STRING_STRING
               {
                   if (strlen($2.text) >= psb_name_limit)
                       api::message("\\r[psb_layer_parse] psb_layer name too long !");
                   layer().set_name($2.text);
               }
           ;

layer_version : TK_VERSION_ATTRIBUTE TK_STRING_FLOAT
                  { if ($2.real != 1.0f) STOP("\\r[psb_layer_parse] invalid layer file version"); }
              ;

data_section : processes attributes features loads
             | TK_ATTRIBUTES_BEGIN
                 { STOP("\\r[psb_layer_parse] <verbatim><</verbatim>processes<verbatim>></verbatim> tag missing"); }
             | TK_FEATURES_BEGIN
                 { STOP("\\r[psb_layer_parse] <verbatim><</verbatim>processes<verbatim>></verbatim> tag missing"); }
             | loads
                 { STOP("\\r[psb_layer_parse] <verbatim><</verbatim>processes<verbatim>></verbatim> tag missing"); }
             ;

processes : TK_PROCESSES_BEGIN processes_body TK_PROCESSES_END
          | TK_PROCESSES_BEGIN TK_PROCESSES_END
              { STOP("\\r[psb_layer_parse] at least one process has to be specified."); }
          ;

processes_body : process | processes_body process ;

process : TK_PROCESS_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
            {
                const size_t length = strlen($3.text);
                if (length >= psb_name_limit)
                    STOP("\\r[psb_layer_parse] process name too long (%s)", $3.text);
                layer().add_process($3.text, length);
            }
        ;

attributes : TK_ATTRIBUTES_BEGIN attributes_body TK_ATTRIBUTES_END
           | TK_FEATURES_BEGIN
               { STOP("\\r[psb_layer_parse] <verbatim><</verbatim>attributes<verbatim>></verbatim> tag missing"); }
           | loads
               { STOP("\\r[psb_layer_parse] <verbatim><</verbatim>attributes<verbatim>></verbatim> tag missing"); }
           ;

attributes_body : %empty | attributes_body attribute ;

attribute : TK_ATTRIBUTE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING attribute_type TK_END_TAG_CLOSED
              {
                  const size_t length = strlen($3.text);
                  if (length >= psb_name_limit)
                      STOP("\\r[psb_layer_parse] attribute name too long (%s)", $3.text);
                  layer().add_attribute($3.text, length, static_cast<uint32_t>($4.integer));
              }
          ;

attribute_type : %empty { $$.integer = psb_attribute_float; }
               | TK_TYPE_ATTRIBUTE TK_STRING_STRING
                   {
                       $$.integer = attribute_type_code($2.text);
                       if ($$.integer < 0)
                           STOP("\\r[psb_layer_parse] unknown attribute type (%s) at line %i col %i", $2.text,
                                psb_layer_lloc.last_line, psb_layer_lloc.last_column);
                   }
               ;

features : TK_FEATURES_BEGIN features_groups TK_FEATURES_END
         | TK_FEATURES_BEGIN TK_FEATURES_END
             { STOP("\\r[psb_layer_parse] <verbatim><</verbatim>group<verbatim>></verbatim> tag missing (at least one)"); }
         ;

features_groups : feature_group | features_groups feature_group ;

feature_group : TK_GROUP_BEGIN { layer().begin_group(); } optional_group_name TK_END_TAG_OPEN {}
                features_in_group TK_GROUP_END
              ;

optional_group_name : %empty | TK_NAME_ATTRIBUTE TK_STRING_STRING ;

features_in_group : feature | feature features_in_group ;

feature : TK_FEATURE_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_END_TAG_OPEN
            {
                const size_t length = strlen($3.text);
                if (length >= psb_name_limit)
                    STOP("\\r[psb_layer_parse] feature name too long (%s)", $3.text);
                layer().add_feature($3.text, length);
            }
          feature_states TK_FEATURE_END
        ;

feature_states : feature_state | feature_state feature_states ;

feature_state : TK_STATE_BEGIN TK_STRING TK_STATE_END
                  {
                      const size_t length = strlen($2.text);
                      if (length >= psb_name_limit)
                          STOP("\\r[psb_layer_parse] state name too long (%s)", $2.text);
                      layer().add_state($2.text, length);
                  }
              ;

loads : load_behaviors load_transitions
      | load_transitions load_behaviors
      | load_behaviors
      ;

load_behaviors : TK_LOAD_BEHAVIORS_BEGIN TK_FILE_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
                   { layer().set_behaviors_file($3.text); }
               ;

load_transitions : TK_LOAD_TRANSITIONS_BEGIN TK_FILE_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
                     { layer().set_transitions_file($3.text); }
                 ;

%%

/*@include psb_parse_tail.yfrag@*/
