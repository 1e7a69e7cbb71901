/*@include psb_parse_head.yfrag@*/

%code {
namespace {

// The info being read.
psb_info_actions_t& info() { return *psb_current_info; }

}  // namespace
}

%token TK_HEADER_START TK_HEADER_ENCODING TK_HEADER_VERSION TK_HEADER_END TK_KUVRA_BEGIN TK_KUVRA_END
%token TK_VERSION_ATTRIBUTE TK_STRING_INT TK_STRING_FLOAT TK_STRING_STRING TK_INFO_BEGIN TK_INFO_END
%token TK_MODEL_BEGIN TK_LAYER_BEGIN TK_LOOKS_BEGIN TK_LOOKS_END TK_LOOK_BEGIN TK_LOOK_END TK_SHADER_BEGIN
%token TK_SKIP_BEGIN TK_FILE_ATTRIBUTE TK_NAME_ATTRIBUTE TK_COUNT_ATTRIBUTE TK_END_TAG_OPEN TK_END_TAG_CLOSED
%token TK_FLOAT TK_STRING

%%

/*@include psb_parse_header_rules.yfrag@*/

body_section : TK_KUVRA_BEGIN info_section TK_KUVRA_END
             | TK_KUVRA_BEGIN error { STOP("\\r[psb_info_parse] invalid psb info file"); }
             ;

info_section : TK_INFO_BEGIN {} inside_info_section TK_INFO_END
             | TK_INFO_BEGIN error { STOP("\\r[psb_info_parse] version attribute missing"); }
             ;

inside_info_section : info_version info_name TK_END_TAG_OPEN data_section
                    | info_name info_version TK_END_TAG_OPEN data_section
                    ;

info_name : TK_NAME_ATTRIBUTE TK_STRING_STRING ;

info_version : TK_VERSION_ATTRIBUTE TK_STRING_FLOAT
                 { if ($2.real != 1.0f) STOP("\\r[psb_info_parse] invalid info file version"); }
             ;

data_section : model layers looks ;

model : TK_MODEL_BEGIN TK_FILE_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED
          { if (!info().set_model($3.text)) YYABORT; }
      ;

layers : layer { if (!info().add_layer($1.text)) YYABORT; }
       | layers layer { if (!info().add_layer($2.text)) YYABORT; }
       ;

layer : TK_LAYER_BEGIN layer_name layer_file TK_END_TAG_CLOSED { $$ = $3; }
      | TK_LAYER_BEGIN layer_file layer_name TK_END_TAG_CLOSED { $$ = $2; }
      | TK_LAYER_BEGIN layer_file TK_END_TAG_CLOSED { $$ = $2; }
      ;

layer_name : TK_NAME_ATTRIBUTE TK_STRING_STRING { $$ = $2; } ;

layer_file : TK_FILE_ATTRIBUTE TK_STRING_STRING { $$ = $2; } ;

looks : TK_LOOKS_BEGIN inside_looks TK_LOOKS_END ;

inside_looks : look | inside_looks look ;

look : TK_LOOK_BEGIN TK_NAME_ATTRIBUTE TK_STRING_STRING TK_END_TAG_OPEN { info().begin_look($3.text); }
       shaders TK_LOOK_END
     ;

shaders : shader | shaders shader ;

shader : TK_SHADER_BEGIN TK_FILE_ATTRIBUTE TK_STRING_STRING TK_END_TAG_CLOSED { info().add_shader($3.text); }
       | TK_SKIP_BEGIN TK_COUNT_ATTRIBUTE int TK_END_TAG_CLOSED
           {
               // A count from the file is refused unless it is a sensible number of placeholders.
               if ($3.integer < 0 || $3.integer > psb_most_skipped_shaders)
                   STOP("\\r[psb_info_parse] invalid skip count (%d) at line %i column %i", $3.integer,
                        psb_info_lloc.last_line, psb_info_lloc.last_column);
               info().add_skip($3.integer);
           }
       ;

int : TK_STRING_FLOAT { $$.integer = psb_round_to_int($1.real); }
    | TK_STRING_INT
    ;

%%

/*@include psb_parse_tail.yfrag@*/
